#pragma once
// The download run: log in to the catalogue service, fetch the chosen groups and the individual
// list, save and check each, log out. The source decides the requests; the steps are the run's.

#include "elementfiles/AnswerGate.h"
#include "download/sources/RunChannel.h"
#include "download/sources/RunDeadline.h"
#include "download/RunRequest.h"
#include "download/RunSummary.h"
#include "elementfiles/RunLog.h"
#include "elementfiles/SaveAndCheck.h"
#include "download/SourceChoice.h"
#include "platform/HttpClient.h"
#include "platform/TempFile.h"

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace elsetry {

enum class TDownloadOutcome {
    // A source without a login (Completed, PartlyFailed, DeadlinePassed, Stopped) neither logs in
    // nor out.
    Completed,      // logged in, every chosen download tried and none failed, logout sent
    PartlyFailed,   // logged in, every chosen download tried, at least one failed or a historic file not
                    // kept; logout sent
    DeadlinePassed, // logged in, the run deadline ended the downloads early; logout sent
    Stopped,        // the service's usage limit ended the run early; logout sent when logged in
    NotStarted,     // no connection, no username or password, or a password that would go out unencrypted
    Unreachable,    // the service did not answer; nothing more was sent
    LoginRefused,   // no downloads; logout sent
    Failed,         // ended early by a failure shown in an error box
    FailedMidway,   // downloads under way when a failure shown in an error box ended the run; logout sent
    Cancelled,      // the user cancelled; the request under way abandoned, logout sent when logged in
};

inline constexpr const char* InsecureAddressText =
    "The service address must begin with https:// for the password to be sent safely";

// The time limits the session sets on its HTTP client. The read time-outs each stay set for the
// requests that follow, into the next run too. Tests shorten them rather than wait them out.
struct TDownloadTimeouts {
    // Until a run has fetched a group or the individual list.
    long FirstMs = THttpClient::DefaultReadTimeoutMs;
    long GroupMs = 15000;
    // The query of the individual list is given longer, and so are the groups of a source that
    // puts them together when asked.
    long QueryMs = 45000;
    // Every request fails when it moves fewer than LowSpeedBytes over LowSpeedSeconds, or runs
    // longer than RequestMs.
    long LowSpeedBytes = THttpClient::DefaultLowSpeedBytes;
    long LowSpeedSeconds = THttpClient::DefaultLowSpeedSeconds;
    long RequestMs = THttpClient::DefaultTimeLimitMs;
    // The logout is given at least this long, even when the run deadline has passed.
    long LogoutMs = 15000;
};

// The session with the service. The window keeps one for the program's life, so that the HTTP
// client's cookies, proxy settings and read time-out carry over from run to run.
class TDownloadSession {
public:
    explicit TDownloadSession(std::string TempFolder = UserTempFolder(), TDownloadTimeouts Timeouts = {},
                              TSourceChoice ChooseSource = SourceFor);

    // One whole run of Request, reporting through Host. With the request's deadline, no request
    // is sent once that much time has passed since the start, and a request under way then is cut
    // off; only the logout follows.
    TDownloadOutcome RunDownload(TRunLog& Host, const TRunRequest& Request);
    // Asks the run under way to end: its current request or wait is abandoned, nothing more is
    // asked for but the logout, and no file is replaced after this. SIGTERM, SIGINT and SIGHUP
    // during a run do the same.
    void Cancel() { CancelAsked = true; }
    // The status line once the run is over: how it ended ("Run complete", "Run ended: 1 of 3
    // downloads failed", "Run ended: connection refused", "Cancelled"), not its last step.
    std::string IdleStatus(TDownloadOutcome Outcome) const;
    // Whether the last run ended because the service refused the username and password; the
    // window then leads the user to the password.
    bool PasswordRefused() const { return Refused; }
    THttpClient& Client() { return Http; }
    const std::string& TempFilePath() const { return TempFile.Path(); }

private:
    // What became of the chosen downloads of one run.
    struct TTally {
        int Chosen = 0;
        int Failed = 0;
        // Historic files the saved downloads should have extended and could not.
        int HistoricFailed = 0;
        bool CutByDeadline = false;
        bool Stopped = false;
        bool Cancelled = false;
    };

    TDownloadOutcome RunSession(TRunLog& Host, const TDownloadInputs& Inputs);
    void ConfigureProxy(const TDownloadInputs& Inputs);
    // Why a login did not open a session: the transfer's reason, or the service's refusal.
    struct TLoginFailure {
        std::string Reason;
        bool Refused = false;
    };
    // Nothing when the service opened a session.
    std::optional<TLoginFailure> Login(TRunLog& Host, const TDownloadInputs& Inputs);
    // One chosen download: the file it saves, and how.
    struct TChosen {
        std::string FileName;
        std::function<void()> Download;
    };
    std::vector<TChosen> ChosenDownloads(TRunLog& Host, const TDownloadInputs& Inputs);
    // Every chosen download in turn, until the service tells the run to stop or the user cancels;
    // the files not asked for then are noted as not fetched.
    void DownloadChosen(TRunLog& Host, const TDownloadInputs& Inputs);
    // Notes the chosen files from First on as not fetched, for Reason, and counts them failed.
    void NoteNotFetched(const std::vector<TChosen>& Chosen, std::size_t First, const std::string& Reason);
    // Fetches a group and saves it under the choice's file name, or logs why there is nothing to
    // save. Raises EGroupFailed when the answer does not pass the gate or cannot be written.
    void DownloadGroup(TRunLog& Host, const TSpaceTrackGroup& Group, const TGroupChoice& Choice);
    // Fetches the sets of the individual list's numbers and saves them under its file name, like
    // DownloadGroup.
    void DownloadIndividualList(TRunLog& Host, const TDownloadInputs& Inputs);
    // The source's answer, with a failure on the way (an HTTP or transfer failure, a damaged or too
    // large answer) as a failed answer with its short reason.
    TSourceAnswer AskSource(TRunLog& Host, const std::function<TSourceAnswer()>& Ask);
    // Logs and notes an answer with no sets to save; only a failed one counts as failed.
    void LogWithoutSets(TRunLog& Host, const std::string& FileName, const TSourceAnswer& Answer);
    // Runs one chosen download; a failure is logged with its reason and counted.
    void Attempt(TRunLog& Host, const std::string& FileName, const std::function<void()>& Download);
    void LogFailure(TRunLog& Host, const std::string& FileName, const std::string& Reason);
    void LogStop(TRunLog& Host, const std::string& Reason);
    void Logout(TRunLog& Host);
    // Makes the next file's writing that of Options with the run's line ends; raises EGroupFailed
    // with Fault, before anything is asked, when the stored options do not read.
    void PrepareWriting(const TFileOptions& Options, const std::string& Fault);
    // Saves and checks the answer's sets as FileName, written as Writing says with the answer's
    // OMM text, and notes the file as saved; what was saved.
    TSaveResult SaveAndNote(TRunLog& Host, TSourceAnswer&& Answer, const std::string& FileName,
                            const TAnswerQuestion& Question = {});
    void Note(const std::string& FileName, TFileResult Result, const std::string& Reason);
    // "the earlier file is kept", or "no file was written" when the folder holds none.
    std::string EarlierFileText() const;
    TDownloadOutcome OutcomeOfDownloads() const;
    // Logs out when LoggedIn, logs the cancellation and gives its outcome.
    TDownloadOutcome EndCancelled(TRunLog& Host, bool LoggedIn);
    static TDownloadOutcome LogCancelled(TRunLog& Host);
    // Whether the user cancelled the run, or a signal asked the process to end.
    bool Cancelling() const;
    // Raises ERunCancelled once the user has cancelled the run.
    void ThrowIfCancelled() const;
    // Ends a run that a failure of its own stopped: logs out when logged in.
    TDownloadOutcome EndFailed(TRunLog& Host, const std::exception& Error);
    // While the run waits: keeps the host alive, shows the request's progress, and answers
    // whether the run still wants the request.
    bool KeepWaiting(TRunLog& Host, const THttpClient::TProgress& Progress);
    // "Cancelling", or during the logout's usage-limit wait "Cancelling: logging out in 25 s".
    void ShowCancelling(TRunLog& Host);
    // Shows how the run ends and keeps it for IdleStatus.
    void ShowEnd(TRunLog& Host, const std::string& Status);
    static int DownloadCount(const TDownloadInputs& Inputs);
    // Logs how many downloads failed, if any, and gives the outcome.
    TDownloadOutcome TallyOfDownloads(TRunLog& Host) const;
    // The reason a request failed: its own, unless the run deadline cut it off.
    std::string FailureReason(const EHttpError& Error) const;
    // Logs Reason and shows Text with Reason as its second line.
    void ShowFailure(TRunLog& Host, const std::string& Text, const std::string& Reason);
    void ShowSelfClosingMessage(TRunLog& Host, const std::string& Text);

    TDownloadTimeouts Timeouts;
    TRunDeadline Deadline;
    TTally Tally;
    // Downloads of the current run, for its progress.
    int Downloads = 0;
    bool CancelAsked = false;
    // The status last shown for a cancel, so that it is shown again only when it changes.
    std::string CancellingShown;
    std::string EndStatus;
    // The logout goes out even after a cancel.
    bool LoggingOut = false;
    // From the login to the logout.
    bool SessionOpen = false;
    bool DownloadsBegun = false;
    bool Refused = false;
    // The current run's.
    TRunRequest Request;
    TRunSummary Summary;
    // How the file of the download under way is written.
    TFileWriting Writing;
    THttpClient Http;
    TKepTempFile TempFile;
    TRunChannel Channel;
    TSourceChoice ChooseSource;
    // The current run's; made anew for each run from its inputs.
    std::unique_ptr<TSource> Source;
};

} // namespace elsetry
