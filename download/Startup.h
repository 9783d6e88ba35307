#pragma once
// What the window does once, just after it is first shown: dial when asked to, check the
// connection (offering to dial), offer the system's proxy server, and, when started with an
// unattended switch, run one download and close the program.

#include "download/CommandLine.h"
#include "download/DownloadRun.h"
#include "platform/InternetFunctions.h"

#include <optional>
#include <string>

namespace elsetry {

// What the start-up needs from the window.
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

    // Whether the download run may let its error boxes close themselves.
    virtual void SetUnattended(bool Unattended) = 0;
    virtual void MinimiseApplication() = 0;
    virtual TDownloadOutcome RunDownload() = 0;
    // Closes the window, which ends the program.
    virtual void CloseWindow() = 0;
};

struct TStartupResult {
    bool Dialled = false;                 // "-DIAL" dialled a connection
    bool Unattended = false;              // an unattended run was made
    std::optional<TDownloadOutcome> Run;  // its outcome
    bool Closed = false;                  // the window was closed after it
};

inline constexpr const char* NoConnectionText = "You must connect to the Internet before downloading Kepler data";
inline constexpr const char* DialCaption = "Internet Connection Required";
inline constexpr const char* DialQuestion =
    "An Internet connection is required to run this program.  Would you like to try and dial the Internet right now?";
inline constexpr const char* DialFailedText = "The Internet connection dial-up attempt seems to have failed.";
inline constexpr const char* ProxyCaption = "Proxy may be required";

// The proxy question with the host and port filled in.
std::string ProxyQuestion(const std::string& Host, int Port);

// Runs the start-up once. A run that ends in a failure shown in an error box leaves the window
// open, as do a failed connection test and the proxy question.
TStartupResult RunStartup(TStartupHost& Host, const TInternetFunctions& Internet, const TArguments& Arguments);

} // namespace elsetry
