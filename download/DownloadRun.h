#pragma once
// The download run: log in to the catalogue service, fetch the chosen groups and the individual
// list, save and check each, log out.

#include "download/DownloadHost.h"
#include "platform/HttpClient.h"
#include "platform/TempFile.h"

#include <string>
#include <vector>

namespace elsetry {

enum class TDownloadOutcome {
    Completed,    // logged in, every chosen download tried, logout sent
    NotStarted,   // no connection, or no username or password
    Unreachable,  // the service did not answer; nothing more was sent
    LoginRefused, // no downloads; logout sent
    Failed,       // ended early by a failure shown in an error box
};

// The read time-outs the session sets on its HTTP client; each stays set for the requests that
// follow, into the next run too. Tests shorten them rather than wait them out.
struct TDownloadTimeouts {
    // Until a run has fetched a group or the individual list.
    long FirstMs = THttpClient::DefaultReadTimeoutMs;
    long GroupMs = 15000;
    // The query of the individual list is given longer.
    long QueryMs = 45000;
};

// The session with the service. The window keeps one for the program's life, so that the HTTP
// client's cookies, proxy settings and read time-out carry over from run to run.
class TDownloadSession {
public:
    explicit TDownloadSession(std::string TempFolder = UserTempFolder(), TDownloadTimeouts Timeouts = {});

    // One whole run, reporting through Host. Close is disabled from the proxy set-up to the end.
    TDownloadOutcome RunDownload(TDownloadHost& Host);
    // Fetches group GroupId into the temporary file and saves it as FileName. A request that
    // fails, or an answer that is damaged or too large, saves nothing and logs nothing.
    void DownloadGroup(TDownloadHost& Host, int GroupId, const std::string& FileName);
    // Queries the catalogue numbers and saves the element sets of the answer as FileName.
    void DownloadIndividualList(TDownloadHost& Host, const std::vector<std::string>& Numbers,
                                const std::string& FileName);

    THttpClient& Client() { return Http; }
    const std::string& TempFilePath() const { return TempFile.Path(); }

private:
    TDownloadOutcome RunSession(TDownloadHost& Host, const TDownloadInputs& Inputs);
    void ConfigureProxy(const TDownloadInputs& Inputs);
    bool Login(TDownloadHost& Host, const TDownloadInputs& Inputs);
    void DownloadChosen(TDownloadHost& Host, const TDownloadInputs& Inputs);
    void Logout(TDownloadHost& Host);
    // Fetches a group into the temporary file; false when the request failed.
    bool FetchGroup(int GroupId);
    void ShowSelfClosingMessage(TDownloadHost& Host, const std::string& Text);
    std::string Url(std::string_view Path) const;

    TDownloadTimeouts Timeouts;
    THttpClient Http;
    TKepTempFile TempFile;
    std::string ServiceAddress;
};

} // namespace elsetry
