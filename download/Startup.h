#pragma once
// What the window does once, just after it is first shown: dial when asked to, check the
// connection (offering to dial), offer the system's proxy server, and decide whether to run one
// unattended download and close the program. The decision is a plan the window (or the run
// without one) acts on; the start-up itself neither runs nor touches the window.

#include "download/CommandLine.h"
#include "download/DownloadRun.h"
#include "platform/InternetFunctions.h"

#include <string>

namespace elsetry {

// What the start-up needs from the window, or from the store where there is none.
class TStartupHost {
public:
    virtual ~TStartupHost() = default;

    virtual bool ConnectionTest() = 0;
    // A box with one OK button, captioned with the application title.
    virtual void ShowMessage(const std::string& Text) = 0;
    // A Yes/No box with a question icon; true for Yes.
    virtual bool AskYesNo(const std::string& Caption, const std::string& Text) = 0;

    virtual std::string ProxyServerText() const = 0;
    virtual std::string ProxyPortText() const = 0;
    virtual void SetProxyServer(const std::string& Host, const std::string& Port) = 0;

protected:
    TStartupHost() = default;
    TStartupHost(const TStartupHost&) = default;
    TStartupHost& operator=(const TStartupHost&) = default;
};

// What the start-up decided.
struct TStartupPlan {
    bool Dialled = false; // "-DIAL" dialled a connection
    // One unattended run: the window minimised before it, its error boxes closing themselves, and
    // the program closed after it as FinishUnattendedRun says.
    bool Unattended = false;

    bool operator==(const TStartupPlan&) const = default;
};

inline constexpr const char* NoConnectionText = "You must connect to the Internet before downloading Kepler data";
inline constexpr const char* DialCaption = "Internet Connection Required";
inline constexpr const char* DialQuestion =
    "An Internet connection is required to run this program.  Would you like to try and dial the Internet right now?";
inline constexpr const char* DialFailedText = "The Internet connection dial-up attempt seems to have failed.";
inline constexpr const char* ProxyCaption = "Proxy may be required";

// The proxy question with the host and port filled in.
std::string ProxyQuestion(const std::string& Host, int Port);

// Runs the start-up once: the dial the switches ask for, the connection test, the proxy offer. A
// failed connection test and the proxy question leave no unattended run.
TStartupPlan PlanStartup(TStartupHost& Host, const TInternetFunctions& Internet, const TArguments& Arguments);

// After the plan's unattended run: whether the program closes. A run that ends in a failure shown
// in an error box leaves the window open for the user; otherwise a connection the start-up dialled
// is hung up first.
bool FinishUnattendedRun(const TStartupPlan& Plan, TDownloadOutcome Outcome, const TInternetFunctions& Internet);

} // namespace elsetry
