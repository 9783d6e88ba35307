#include "download/Startup.h"

#include "platform/SystemProxy.h"
#include "text/Numbers.h"

namespace elsetry {

namespace {

// Tests the connection and, when that fails, reports it or offers to dial. False whenever the
// first test failed, even if a dial then connected.
bool CheckConnection(TStartupHost& Host, const TInternetFunctions& Internet)
{
    if (Host.ConnectionTest())
        return true;
    if (!Internet.Autodial) {
        Host.ShowMessage(NoConnectionText);
    } else if (Host.AskYesNo(DialCaption, DialQuestion)) {
        Internet.Autodial(AutodialForceUnattended);
        if (!Host.ConnectionTest())
            Host.ShowMessage(DialFailedText);
    }
    return false;
}

// Offers the system's proxy server when both its host and its port differ from the window's;
// true when the question was asked.
bool OfferSystemProxy(TStartupHost& Host, const TInternetFunctions& Internet)
{
    const TSystemProxy proxy = GetSystemProxy(Internet, "http");
    if (proxy.Host.empty() || proxy.Port == 0 || proxy.Host == Host.ProxyServerText() ||
        proxy.Port == ReadInteger(Host.ProxyPortText()).value_or(0))
        return false;
    if (Host.AskYesNo(ProxyCaption, ProxyQuestion(proxy.Host, proxy.Port)))
        Host.SetProxyServer(proxy.Host, std::to_string(proxy.Port));
    return true;
}

} // namespace

std::string ProxyQuestion(const std::string& Host, int Port)
{
    return "Your system is currently set to access the Internet via a proxy server: " + Host + " on port " +
           std::to_string(Port) + ".  Would you like the Elsetry to use this connection?";
}

TStartupPlan PlanStartup(TStartupHost& Host, const TInternetFunctions& Internet, const TArguments& Arguments)
{
    TStartupPlan plan;
    if (WantsDial(Arguments) && Internet.Autodial) {
        Internet.Autodial(AutodialForceUnattended);
        plan.Dialled = true;
    }
    const bool unattended = WantsUnattendedRun(Arguments);
    const bool connected = CheckConnection(Host, Internet);
    const bool asked = connected && OfferSystemProxy(Host, Internet);
    plan.Unattended = unattended && connected && !asked;
    return plan;
}

bool FinishUnattendedRun(const TStartupPlan& Plan, TDownloadOutcome Outcome, const TInternetFunctions& Internet)
{
    if (Outcome == TDownloadOutcome::Failed || Outcome == TDownloadOutcome::FailedMidway)
        return false;
    if (Plan.Dialled && Internet.AutodialHangup)
        Internet.AutodialHangup(0);
    return true;
}

} // namespace elsetry
