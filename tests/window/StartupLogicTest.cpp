// The start-up's decisions without a window: switches, the dial and proxy offers, the
// unattended run and what ends it.

#include "app/CommandLine.h"
#include "app/Startup.h"

#include <gtest/gtest.h>

#include <deque>

namespace elsetry::test {
namespace {

using TEvents = std::vector<std::string>;

class TFakeStartupHost final : public TStartupHost {
public:
    std::deque<bool> Connected{true}; // successive tests; the last answer repeats
    bool AnswerYes = false;
    std::string Server;
    std::string Port;
    TDownloadOutcome Outcome = TDownloadOutcome::Completed;
    TEvents Events;

    bool ConnectionTest() override
    {
        const bool connected = Connected.front();
        if (Connected.size() > 1)
            Connected.pop_front();
        return connected;
    }
    void ShowMessage(const std::string& Text) override { Events.push_back("message " + Text); }
    bool AskYesNo(const std::string& Caption, const std::string&) override
    {
        Events.push_back("ask " + Caption);
        return AnswerYes;
    }
    std::string ProxyServerText() const override { return Server; }
    std::string ProxyPortText() const override { return Port; }
    void SetProxyServer(const std::string& Host, const std::string& NewPort) override
    {
        Server = Host;
        Port = NewPort;
    }
    void SetUnattended(bool Value) override { IsUnattended = Value; }
    void MinimiseApplication() override { Events.push_back("minimise"); }
    TDownloadOutcome RunDownload() override
    {
        Events.push_back(IsUnattended ? "run unattended" : "run");
        return Outcome;
    }
    void CloseWindow() override { Events.push_back("close"); }

private:
    bool IsUnattended = false;
};

// Internet functions that record their calls into the host's events.
TInternetFunctions FakeInternet(TEvents& Events, bool CanDial, const std::string& ProxyList = {})
{
    TInternetFunctions functions;
    if (CanDial) {
        functions.Autodial = [&Events](unsigned long Flags) {
            Events.push_back("dial " + std::to_string(Flags));
            return true;
        };
        functions.AutodialHangup = [&Events](unsigned long) {
            Events.push_back("hang up");
            return true;
        };
    }
    functions.QueryProxyOption = [ProxyList]() -> std::optional<TProxyOption> {
        return TProxyOption{ProxyList.empty() ? InternetOpenTypeDirect : InternetOpenTypeProxy, ProxyList};
    };
    return functions;
}

TEST(CommandLine, Switches)
{
    struct TCase {
        TArguments Arguments;
        bool Dial;
        bool Unattended;
    };
    const TCase cases[] = {
        {{"elsetry", "/auto"}, false, true},
        {{"elsetry", "-Start"}, false, true},
        {{"elsetry", "-x", "/START"}, false, true},
        {{"elsetry", "AUTO"}, false, false},
        {{"elsetry", "--auto"}, false, false},
        {{"elsetry", "-autorun"}, false, false},
        {{"/auto"}, false, false},
        {{"elsetry", "-dial"}, true, false},
        {{"elsetry", "/redial-dialup"}, true, false},
        {{"/opt/my-dialer/elsetry"}, true, false},
        {{"elsetry", "-DIAL", "-AUTO"}, true, true},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.Arguments));
        EXPECT_EQ(WantsDial(c.Arguments), c.Dial);
        EXPECT_EQ(WantsUnattendedRun(c.Arguments), c.Unattended);
    }
}

TEST(Startup, Decisions)
{
    const std::string differingProxy = "http=proxy.lan:3128;https=proxy.lan:3129";
    struct TCase {
        const char* What;
        TArguments Arguments;
        std::deque<bool> Connected;
        bool CanDial;
        std::string ProxyList;
        std::string Server;
        std::string Port;
        bool AnswerYes;
        TDownloadOutcome Outcome;
        TEvents Expected;
    };
    const TCase cases[] = {
        {"lower-case /auto runs and closes", {"elsetry", "/auto"}, {true}, false, "", "", "", false,
         TDownloadOutcome::Completed, {"minimise", "run unattended", "close"}},
        {"a refused login closes too", {"elsetry", "-AUTO"}, {true}, false, "", "", "", false,
         TDownloadOutcome::LoginRefused, {"minimise", "run unattended", "close"}},
        {"a failure shown in an error box stays open", {"elsetry", "-dial", "-AUTO"}, {true}, true, "", "", "",
         false, TDownloadOutcome::Failed, {"dial 2", "minimise", "run unattended"}},
        {"-dial alone dials and never hangs up", {"elsetry", "-dial"}, {true}, true, "", "", "", false,
         TDownloadOutcome::Completed, {"dial 2"}},
        {"-dial without a dialler", {"elsetry", "-dial", "/start"}, {true}, false, "", "", "", false,
         TDownloadOutcome::Completed, {"minimise", "run unattended", "close"}},
        {"a dialled unattended run hangs up", {"elsetry", "-DIAL", "/START"}, {true}, true, "", "", "", false,
         TDownloadOutcome::Completed, {"dial 2", "minimise", "run unattended", "hang up", "close"}},
        {"differing proxy asks and stays open", {"elsetry", "-START"}, {true}, false, differingProxy, "", "",
         false, TDownloadOutcome::Completed, {"ask Proxy may be required"}},
        {"only the host differs", {"elsetry", "-START"}, {true}, false, differingProxy, "other", "3128", false,
         TDownloadOutcome::Completed, {"minimise", "run unattended", "close"}},
        {"only the port differs", {"elsetry", "-START"}, {true}, false, differingProxy, "proxy.lan", "8080", false,
         TDownloadOutcome::Completed, {"minimise", "run unattended", "close"}},
        {"a proxy entry without a port", {"elsetry"}, {true}, false, "proxy.lan", "", "", false,
         TDownloadOutcome::Completed, {}},
        {"no connection, no dialler", {"elsetry", "-AUTO"}, {false}, false, differingProxy, "", "", true,
         TDownloadOutcome::Completed, {std::string("message ") + NoConnectionText}},
        {"dial declined", {"elsetry", "-AUTO"}, {false}, true, "", "", "", false, TDownloadOutcome::Completed,
         {"ask Internet Connection Required"}},
        {"dial fails", {"elsetry", "-AUTO"}, {false, false}, true, differingProxy, "", "", true,
         TDownloadOutcome::Completed,
         {"ask Internet Connection Required", "dial 2", std::string("message ") + DialFailedText}},
        {"a dial that connects still counts the first test as failed", {"elsetry", "-AUTO"}, {false, true}, true,
         differingProxy, "", "", true, TDownloadOutcome::Completed, {"ask Internet Connection Required", "dial 2"}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.What);
        TFakeStartupHost host;
        host.Connected = c.Connected;
        host.Server = c.Server;
        host.Port = c.Port;
        host.AnswerYes = c.AnswerYes;
        host.Outcome = c.Outcome;
        RunStartup(host, FakeInternet(host.Events, c.CanDial, c.ProxyList), c.Arguments);
        EXPECT_EQ(host.Events, c.Expected);
    }
}

TEST(Startup, ProxyQuestionAnsweredYesFillsTheProxyEdits)
{
    for (const bool yes : {true, false}) {
        TFakeStartupHost host;
        host.AnswerYes = yes;
        host.Port = "80";
        RunStartup(host, FakeInternet(host.Events, false, "proxy.lan:3128"), {"elsetry"});
        EXPECT_EQ(host.Server, yes ? "proxy.lan" : "");
        EXPECT_EQ(host.Port, yes ? "3128" : "80");
    }
    EXPECT_EQ(ProxyQuestion("proxy.lan", 3128),
              "Your system is currently set to access the Internet via a proxy server: proxy.lan on port 3128.  "
              "Would you like the Elsetry to use this connection?");
}

} // namespace
} // namespace elsetry::test
