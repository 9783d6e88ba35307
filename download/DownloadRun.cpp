#include "download/DownloadRun.h"

#include "download/sources/DownloadExchange.h"
#include "download/sources/FavouritesList.h"
#include "elementfiles/ElementCheck.h"
#include "download/sources/RunStops.h"
#include "download/RunFolders.h"
#include "elementfiles/SaveAndCheck.h"
#include "platform/AnswerLimit.h"
#include "platform/Gunzip.h"
#include "platform/LocalAddress.h"
#include "platform/StopSignals.h"
#include "text/CatalogueNumber.h"
#include "text/FileNames.h"
#include "text/Strings.h"

#include <algorithm>
#include <new>

namespace elsetry {

namespace {

constexpr const char* DeadlineReason = "run deadline passed";
constexpr const char* StoppedReason = "run stopped";
constexpr const char* CancelledReason = "cancelled";
constexpr const char* LoginRefusedText = "the service did not accept the username and password";

// The second line of a box that ended the run: the address asked, and what became of it.
std::string ReasonLine(const TDownloadInputs& Inputs, const std::string& Reason)
{
    return Inputs.SpaceTrackAddress + ": " + EscapeControls(Reason);
}

std::string RunEndedText(const std::string& Reason)
{
    return "Run ended: " + EscapeControls(Reason);
}

// Why a run may not start with these inputs; none when it may.
std::optional<std::string> Refusal(const TDownloadInputs& Inputs, const TSource& Source)
{
    if (!Source.NeedsLogin())
        return std::nullopt;
    if (Inputs.Username.empty())
        return "Please enter your Space-Track username";
    if (Inputs.Password.empty())
        return "Please enter your Space-Track password";
    if (!KeepsSecretsOffTheWire(Source.LoginUrl(), Inputs.ProxyServer))
        return InsecureAddressText;
    return std::nullopt;
}

} // namespace

TDownloadSession::TDownloadSession(std::string TempFolder, TDownloadTimeouts Limits, TSourceChoice Choice)
    : Timeouts(Limits), TempFile(std::move(TempFolder)), Channel(Http, TempFile, Deadline, Timeouts.RequestMs),
      ChooseSource(std::move(Choice))
{
    Http.SetReadTimeout(Timeouts.FirstMs);
    // No answer of the service is worth more than one group's text: larger ones fail at once,
    // before they fill the memory or the temporary folder.
    Http.SetMaxAnswerBytes(GroupTextLimitBytes);
    Http.SetLowSpeedLimit(Timeouts.LowSpeedBytes, Timeouts.LowSpeedSeconds);
    Http.SetTimeLimit(Timeouts.RequestMs);
}

TDownloadOutcome TDownloadSession::RunDownload(TRunLog& Host, const TRunRequest& Asked)
{
    // A signal to end the process ends the run as Cancel does.
    const TStopSignals stopSignals;
    Refused = false;
    Host.ClearLog();
    Host.ForgetLoggedOnce();
    if (!Asked.Connected) {
        Host.ShowMessage("Internet connection required.");
        return TDownloadOutcome::NotStarted;
    }
    Request = Asked;
    const TDownloadInputs& inputs = Request.Inputs;
    Source = ChooseSource(inputs);
    if (!Source) {
        Host.ShowMessage(UnknownSourceText(inputs.Source));
        return TDownloadOutcome::NotStarted;
    }
    // Nothing is sent without a login, nor where the password could be read on its way.
    if (const std::optional<std::string> refusal = Refusal(inputs, *Source)) {
        Host.ShowMessage(*refusal);
        return TDownloadOutcome::NotStarted;
    }
    if (!PrepareRunFolders(Host, Request))
        return TDownloadOutcome::NotStarted;
    Deadline = TRunDeadline(Request.Deadline);
    Channel.GiveEachRequest(std::nullopt);
    Tally = {};
    EndStatus.clear();
    CancelAsked = false;
    CancellingShown.clear();
    LoggingOut = false;
    SessionOpen = false;
    DownloadsBegun = false;
    Downloads = DownloadCount(inputs);
    Host.ShowRunProgress(0, Downloads);
    Channel.SetWhileWaiting(
        [this, &Host](const THttpClient::TProgress& Progress) { return KeepWaiting(Host, Progress); });
    Summary = {Request.Folders.TimeOfRun, Request.Folders.Group, {}, {}};
    Channel.SetNotes([&Host](const std::string& Line) { Host.Log(Line, true); });
    TDownloadOutcome outcome = TDownloadOutcome::Failed;
    try {
        outcome = RunSession(Host, inputs);
    } catch (const ERunStopped& Stop) {
        // Before any session was open: nothing to log out of, and nothing was asked for.
        LogStop(Host, Stop.what());
        NoteNotFetched(ChosenDownloads(Host, inputs), 0, StoppedReason);
        TallyOfDownloads(Host);
        outcome = TDownloadOutcome::Stopped;
    } catch (const std::exception& Error) {
        // Any failure the steps do not handle themselves ends the run with its own text.
        outcome = EndFailed(Host, Error);
    }
    Channel.SetNotes(nullptr);
    Channel.SetWhileWaiting(nullptr);
    Host.ShowRunProgress(0, Downloads);
    Host.LogSummary(SummaryLines(Summary));
    return outcome;
}

TDownloadOutcome TDownloadSession::RunSession(TRunLog& Host, const TDownloadInputs& Inputs)
{
    ConfigureProxy(Inputs);
    const std::string service = Source->ServiceName();
    Host.ShowStatus("Connecting to " + service);
    Host.Log("Connecting to " + service, false);
    try {
        Source->Probe(Channel);
    } catch (const ERunCancelled&) {
        return EndCancelled(Host, false);
    } catch (const EHttpError& Error) {
        if (Cancelling())
            return EndCancelled(Host, false);
        const std::string reason = FailureReason(Error);
        ShowFailure(Host, "Error connecting to the " + service + " Web site", ReasonLine(Inputs, reason));
        ShowEnd(Host, RunEndedText(reason));
        return TDownloadOutcome::Unreachable;
    }
    if (!Source->NeedsLogin()) {
        DownloadChosen(Host, Inputs);
        return TallyOfDownloads(Host);
    }
    const std::optional<TLoginFailure> failure = Login(Host, Inputs);
    if (failure && Cancelling())
        return EndCancelled(Host, true);
    if (!failure) {
        SessionOpen = true;
        Host.Log("Logged into Space-Track", false);
        DownloadChosen(Host, Inputs);
        Logout(Host);
        return TallyOfDownloads(Host);
    }
    ShowFailure(Host, "Error entering username and password, or in logging into the Space-Track Web site",
                ReasonLine(Inputs, failure->Reason));
    Refused = failure->Refused;
    Logout(Host);
    ShowEnd(Host, RunEndedText(failure->Reason));
    return TDownloadOutcome::LoginRefused;
}

TDownloadOutcome TDownloadSession::TallyOfDownloads(TRunLog& Host) const
{
    if (Tally.Cancelled)
        return LogCancelled(Host);
    if (Tally.Failed > 0)
        Host.Log(std::to_string(Tally.Failed) + " of " + std::to_string(Tally.Chosen) + " downloads failed", false);
    return OutcomeOfDownloads();
}

TDownloadOutcome TDownloadSession::EndCancelled(TRunLog& Host, bool LoggedIn)
{
    if (LoggedIn)
        Logout(Host);
    return LogCancelled(Host);
}

TDownloadOutcome TDownloadSession::LogCancelled(TRunLog& Host)
{
    Host.ShowStatus("Cancelled");
    Host.Log("Cancelled", false);
    return TDownloadOutcome::Cancelled;
}

bool TDownloadSession::Cancelling() const
{
    return CancelAsked || TStopSignals::Received();
}

void TDownloadSession::ThrowIfCancelled() const
{
    if (Cancelling())
        throw ERunCancelled();
}

TDownloadOutcome TDownloadSession::EndFailed(TRunLog& Host, const std::exception& Error)
{
    Host.Log(EscapeControls(Error.what()), true);
    // The session is not left open on the service's side while the box waits for the user.
    if (SessionOpen) {
        try {
            Logout(Host);
        } catch (const std::exception& LogoutError) {
            Host.Log(std::string("Logout failed: ") + EscapeControls(LogoutError.what()), false);
        }
    }
    Host.ShowError(Error.what());
    ShowEnd(Host, RunEndedText(Error.what()));
    return DownloadsBegun ? TDownloadOutcome::FailedMidway : TDownloadOutcome::Failed;
}

bool TDownloadSession::KeepWaiting(TRunLog& Host, const THttpClient::TProgress& Progress)
{
    Host.ShowRequestProgress(Progress.Bytes, Progress.Total);
    Host.KeepAlive();
    if (Cancelling())
        ShowCancelling(Host);
    return LoggingOut || !Cancelling();
}

void TDownloadSession::ShowEnd(TRunLog& Host, const std::string& Status)
{
    EndStatus = Status;
    Host.ShowStatus(Status);
}

std::string TDownloadSession::IdleStatus(TDownloadOutcome Outcome) const
{
    switch (Outcome) {
    case TDownloadOutcome::Completed:
        return "Run complete";
    case TDownloadOutcome::PartlyFailed:
        return RunEndedText(std::to_string(Tally.Failed) + " of " + std::to_string(Tally.Chosen) + " downloads failed");
    case TDownloadOutcome::DeadlinePassed:
        return RunEndedText(DeadlineReason);
    case TDownloadOutcome::NotStarted:
        return "Run not started";
    case TDownloadOutcome::Cancelled:
        return "Cancelled";
    case TDownloadOutcome::Stopped:
    case TDownloadOutcome::Unreachable:
    case TDownloadOutcome::LoginRefused:
    case TDownloadOutcome::Failed:
    case TDownloadOutcome::FailedMidway:
        break;
    }
    return EndStatus;
}

// A logout that waits its turn under the usage limit says how long, so that Cancel is seen to work.
void TDownloadSession::ShowCancelling(TRunLog& Host)
{
    std::string status = "Cancelling";
    if (const std::chrono::milliseconds left = Channel.TimeLeftToWait(); LoggingOut && left.count() > 0)
        status += ": logging out in " + std::to_string((left.count() + 999) / 1000) + " s";
    if (status != CancellingShown)
        Host.ShowStatus(status);
    CancellingShown = status;
}

int TDownloadSession::DownloadCount(const TDownloadInputs& Inputs)
{
    int count = Inputs.Favourites.empty() ? 0 : 1;
    for (const TGroupChoice& group : Inputs.Groups)
        count += group.Checked ? 1 : 0;
    return count;
}

TDownloadOutcome TDownloadSession::OutcomeOfDownloads() const
{
    if (Tally.Stopped)
        return TDownloadOutcome::Stopped;
    if (Tally.CutByDeadline)
        return TDownloadOutcome::DeadlinePassed;
    return Tally.Failed > 0 || Tally.HistoricFailed > 0 ? TDownloadOutcome::PartlyFailed : TDownloadOutcome::Completed;
}

// An empty proxy server means no proxy, so that clearing the field takes effect at the next run.
// A port that is not a number keeps the port set before.
void TDownloadSession::ConfigureProxy(const TDownloadInputs& Inputs)
{
    Http.SetProxyHost(Inputs.ProxyServer);
    Http.SetProxyUserName("");
    Http.SetProxyPassword("");
    if (!Inputs.ProxyServer.empty() && !Inputs.ProxyUserName.empty()) {
        Http.SetProxyUserName(Inputs.ProxyUserName);
        Http.SetProxyPassword(Inputs.ProxyPassword);
    }
    if (const auto port = PortNumber(Inputs.ProxyPort))
        Http.SetProxyPort(*port);
}

std::optional<TDownloadSession::TLoginFailure> TDownloadSession::Login(TRunLog& Host, const TDownloadInputs& Inputs)
{
    Host.ShowStatus("Logging into Space-Track Web site");
    Host.Log("Logging into Space-Track", false);
    try {
        if (Source->LogIn(Channel, Inputs.Username, Inputs.Password))
            return std::nullopt;
    } catch (const EHttpError& Error) {
        // A login that got no answer is not a verdict on the password.
        return TLoginFailure{FailureReason(Error), false};
    } catch (const ERunCancelled& Cancel) {
        return TLoginFailure{Cancel.what(), false};
    }
    return TLoginFailure{LoginRefusedText, true};
}

void TDownloadSession::DownloadChosen(TRunLog& Host, const TDownloadInputs& Inputs)
{
    const std::vector<TChosen> chosen = ChosenDownloads(Host, Inputs);
    Source->ExpectListNumbers(Inputs.Favourites);
    std::size_t next = 0;
    std::size_t notedBefore = 0;
    DownloadsBegun = true;
    try {
        for (; next < chosen.size(); ++next) {
            notedBefore = Summary.Files.size();
            Attempt(Host, chosen[next].FileName, chosen[next].Download);
        }
    } catch (const ERunStopped& Stop) {
        Tally.Stopped = true;
        LogFailure(Host, chosen[next].FileName, Stop.Cause());
        LogStop(Host, Stop.what());
        NoteNotFetched(chosen, next + 1, StoppedReason);
    } catch (const ERunCancelled&) {
        Tally.Cancelled = true;
        // The download under way was noted as cancelled; one the cancel came before was not.
        NoteNotFetched(chosen, Summary.Files.size() > notedBefore ? next + 1 : next, CancelledReason);
    }
}

void TDownloadSession::NoteNotFetched(const std::vector<TChosen>& Chosen, std::size_t First, const std::string& Reason)
{
    for (std::size_t index = First; index < Chosen.size(); ++index) {
        Note(Chosen[index].FileName, TFileResult::NotFetched, Reason);
        ++Tally.Failed;
    }
    Tally.Chosen = static_cast<int>(Chosen.size());
}

std::vector<TDownloadSession::TChosen> TDownloadSession::ChosenDownloads(TRunLog& Host, const TDownloadInputs& Inputs)
{
    std::vector<TChosen> chosen;
    for (std::size_t row = 0; row < GroupCount; ++row) {
        const TGroupChoice& group = Inputs.Groups[row];
        if (group.Checked)
            chosen.push_back({group.FileName, [&Host, &group, row, this] {
                                  PrepareWriting(group.Options, group.OptionsFault);
                                  DownloadGroup(Host, SpaceTrackGroups[row], group);
                              }});
    }
    if (!Inputs.Favourites.empty())
        chosen.push_back({Inputs.FavouritesFileName, [&Host, &Inputs, this] {
                              PrepareWriting(Inputs.FavouritesOptions, Inputs.FavouritesOptionsFault);
                              DownloadIndividualList(Host, Inputs);
                          }});
    return chosen;
}

void TDownloadSession::Attempt(TRunLog& Host, const std::string& FileName, const std::function<void()>& Download)
{
    ThrowIfCancelled();
    ++Tally.Chosen;
    Host.ShowRunProgress(Tally.Chosen, Downloads);
    if (Deadline.Passed()) {
        LogFailure(Host, FileName, DeadlineReason);
        return;
    }
    // Refused before any request: a file that cannot be saved is not worth the service's time.
    if (!IsPlainFileName(FileName)) {
        LogFailure(Host, FileName, "not a plain file name");
        return;
    }
    try {
        Download();
    } catch (const ERunCancelled& Cancel) {
        Note(FileName, TFileResult::Failed, Cancel.what());
        throw;
    } catch (const EGroupFailed& Failure) {
        // The answer did not pass the gate, or its file could not be written.
        LogFailure(Host, FileName, Failure.what());
    } catch (const std::bad_alloc&) {
        // What the answer took is given back by now; the next group may well fit.
        LogFailure(Host, FileName, "out of memory");
    }
}

void TDownloadSession::LogWithoutSets(TRunLog& Host, const std::string& FileName, const TSourceAnswer& Answer)
{
    const std::string reason = EscapeControls(Answer.Reason);
    switch (Answer.Outcome) {
    case TAnswerOutcome::Failed:
        LogFailure(Host, FileName, Answer.Reason);
        break;
    case TAnswerOutcome::Skipped:
        Note(FileName, TFileResult::Skipped, Answer.Reason);
        Host.Log("   Skipped: " + EscapeControls(FileName) + " (" + reason + "), " + EarlierFileText(), true);
        break;
    case TAnswerOutcome::Unchanged:
        Note(FileName, TFileResult::Unchanged, Answer.Reason);
        Host.Log("   Unchanged: " + EscapeControls(FileName) + " (" + reason + ")", true);
        break;
    case TAnswerOutcome::Lines:
        break;
    }
}

void TDownloadSession::LogStop(TRunLog& Host, const std::string& Reason)
{
    ShowEnd(Host, "Stopped: " + EscapeControls(Reason));
    Host.Log("Stopped: " + EscapeControls(Reason), true);
}

void TDownloadSession::LogFailure(TRunLog& Host, const std::string& FileName, const std::string& Reason)
{
    if (Deadline.Passed() && !Tally.CutByDeadline) {
        Tally.CutByDeadline = true;
        Host.Log("Run deadline passed, the remaining downloads are skipped", false);
    }
    ++Tally.Failed;
    Note(FileName, TFileResult::Failed, Reason);
    Host.Log("   Failed: " + EscapeControls(FileName) + " (" + EscapeControls(Reason) + "), " + EarlierFileText(),
             true);
}

// The logout is sent even after the run deadline, with a short time of its own: its read
// time-out and its whole time are the logout's, whatever the downloads before it were given. The
// read time-out set before it stays for the requests that follow, as the others do.
void TDownloadSession::Logout(TRunLog& Host)
{
    Channel.GiveEachRequest(std::chrono::milliseconds(Timeouts.LogoutMs));
    const long readTimeout = Http.ReadTimeout();
    Http.SetReadTimeout(Timeouts.LogoutMs);
    // Nothing follows the logout that a cancel could still spare the service.
    LoggingOut = true;
    SessionOpen = false;
    try {
        Source->LogOut(Channel);
    } catch (const EHttpError& Error) {
        Http.SetReadTimeout(readTimeout);
        // Logged only: the files are saved, and the session ends on the service's side in time.
        Host.Log("Logout failed: " + EscapeControls(Error.what()), false);
        return;
    }
    Http.SetReadTimeout(readTimeout);
    Host.ShowStatus("Logged out of Space-Track Web site");
    Host.Log("Logged out of Space-Track", false);
}

// The box keeps its first line as it always was; the second says where and why, and stays in the
// log after the box is gone.
void TDownloadSession::ShowFailure(TRunLog& Host, const std::string& Text, const std::string& Reason)
{
    Host.Log(Reason, true);
    ShowSelfClosingMessage(Host, Text + "\n" + Reason);
}

void TDownloadSession::ShowSelfClosingMessage(TRunLog& Host, const std::string& Text)
{
    if (Request.Unattended)
        Host.ShowSelfClosingMessage(Text);
    else
        Host.ShowMessage(Text);
}

std::string TDownloadSession::FailureReason(const EHttpError& Error) const
{
    return Deadline.Passed() ? DeadlineReason : Error.what();
}

void TDownloadSession::DownloadGroup(TRunLog& Host, const TSpaceTrackGroup& Group, const TGroupChoice& Choice)
{
    const std::string& fileName = Choice.FileName;
    Host.ShowStatus("Getting " + EscapeControls(fileName));
    Http.SetReadTimeout(Source->GroupsAreQueries() ? Timeouts.QueryMs : Timeouts.GroupMs);
    TSourceAnswer answer = AskSource(Host, [&] { return Source->GroupAnswer(Channel, Group, Choice.Options.Form); });
    if (answer.Outcome != TAnswerOutcome::Lines) {
        LogWithoutSets(Host, fileName, answer);
        return;
    }
    SaveAndNote(Host, std::move(answer), fileName);
}

void TDownloadSession::DownloadIndividualList(TRunLog& Host, const TDownloadInputs& Inputs)
{
    const std::vector<std::string>& numbers = Inputs.Favourites;
    const std::string& fileName = Inputs.FavouritesFileName;
    Host.ShowStatus("Getting " + EscapeControls(fileName));
    Http.SetReadTimeout(Timeouts.QueryMs);
    TSourceAnswer answer = AskSource(
        Host, [&] { return Source->IndividualListAnswer(Channel, numbers, Inputs.FavouritesOptions.Form); });
    if (answer.Outcome != TAnswerOutcome::Lines) {
        LogWithoutSets(Host, fileName, answer);
        return;
    }
    TAnswerQuestion question;
    question.IsList = true;
    for (const std::string& number : numbers)
        if (const std::optional<long> value = ListNumberValue(Trim(number)))
            question.Numbers.insert(static_cast<int>(*value));
    const std::vector<long> notAsked = std::move(answer.NotAsked);
    const TSaveResult saved = SaveAndNote(Host, std::move(answer), fileName, question);
    // Numbers the file's choice leaves out were counted as such, and those the source did not ask
    // for noted as such, not lost.
    const bool leaveOut = Inputs.FavouritesOptions.LongNumbers == TLongNumbers::LeaveOut;
    std::vector<std::string> written = numbers;
    std::erase_if(written, [&](const std::string& Number) {
        const std::optional<long> value = ListNumberValue(Trim(Number));
        return (leaveOut && value > 99999) || (value && std::ranges::find(notAsked, *value) != notAsked.end());
    });
    Summary.NotFound = NumbersNotFound(written, *saved.Text, saved.PastElementLines);
}

void TDownloadSession::PrepareWriting(const TFileOptions& Options, const std::string& Fault)
{
    if (!Fault.empty())
        throw EGroupFailed(Fault);
    Writing = {Options, Request.Inputs.LineEnds, {}};
}

TSaveResult TDownloadSession::SaveAndNote(TRunLog& Host, TSourceAnswer&& Answer, const std::string& FileName,
                                          const TAnswerQuestion& Question)
{
    // A source may have answered from what it kept after its request was abandoned.
    ThrowIfCancelled();
    // Read once, before the file is replaced: the answer's size is weighed against it, and the
    // summary says what the new one changed.
    std::optional<TEarlierFile> earlier;
    TAnswerQuestion question = Question;
    if (IsPlainFileName(FileName)) {
        earlier = ReadEarlierFile(Summary.Folder + FileName);
        question.EarlierSets = static_cast<std::size_t>(earlier ? earlier->Sets : 0);
    }
    TFileWriting writing = Writing;
    if (Answer.OmmKind != TOmmKind::None)
        writing.OmmText = std::move(Answer.OmmText);
    const TSaveResult saved = SaveAndCheck(Host, Request.Folders, std::move(Answer.Lines), FileName, question,
                                           std::move(writing));
    Source->FileSaved();
    Tally.HistoricFailed += saved.HistoricFailures;
    // A CSV or JSON file's objects past element lines are satellites of it too.
    const int satellites = saved.Sets + static_cast<int>(saved.PastElementLines.size());
    Summary.Files.push_back(
        {FileName, TFileResult::Saved, satellites, {}, ChangesFrom(earlier, SetEpochsOf(*saved.Text))});
    return saved;
}

// What became of the file of the download just noted.
std::string TDownloadSession::EarlierFileText() const
{
    return Summary.Files.back().Satellites ? "the earlier file is kept" : "no file was written";
}

// The earlier file's sets are counted only under a name that stays in the folder.
void TDownloadSession::Note(const std::string& FileName, TFileResult Result, const std::string& Reason)
{
    std::optional<int> kept;
    if (IsPlainFileName(FileName))
        kept = SatellitesInFile(Summary.Folder + FileName);
    Summary.Files.push_back({FileName, Result, kept, Reason, std::nullopt});
}

// A source may turn an abandoned request into a failure or a stop of its own: Cancel comes first.
TSourceAnswer TDownloadSession::AskSource(TRunLog& Host, const std::function<TSourceAnswer()>& Ask)
{
    try {
        TSourceAnswer answer = Ask();
        if (answer.Outcome == TAnswerOutcome::Failed)
            ThrowIfCancelled();
        return answer;
    } catch (const EHttpError& Error) {
        ThrowIfCancelled();
        return TSourceAnswer::Failed(FailureReason(Error));
    } catch (const EGroupFailed& Failure) {
        // Raised below the source: an answer reader, the channel's temporary file, a usage limit.
        ThrowIfCancelled();
        return TSourceAnswer::Failed(Failure.what());
    } catch (const ERunStopped&) {
        ThrowIfCancelled();
        throw;
    } catch (const EGzipPathTooLong& Error) {
        Host.ShowMessage(Error.what());
        return TSourceAnswer::Failed("temporary path too long");
    } catch (const EAnswerTooLarge& Error) {
        return TSourceAnswer::Failed(Error.what());
    } catch (const EGzipData&) {
        return TSourceAnswer::Failed("damaged gzip data");
    }
}

} // namespace elsetry
