#include "download/DownloadRun.h"

#include "download/DownloadExchange.h"
#include "download/GroupFailure.h"
#include "download/SaveAndCheck.h"
#include "platform/Gunzip.h"
#include "platform/LocalAddress.h"
#include "platform/UniqueFd.h"
#include "text/Strings.h"

#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace elsetry {

namespace {

constexpr const char* DeadlineReason = "run deadline passed";

// Why a run may not start with these inputs; none when it may.
std::optional<std::string> Refusal(const TDownloadInputs& Inputs)
{
    if (Inputs.Username.empty())
        return "Please enter your Space-Track username";
    if (Inputs.Password.empty())
        return "Please enter your Space-Track password";
    if (!KeepsSecretsOffTheWire(Inputs.SpaceTrackAddress + std::string(LoginPath), Inputs.ProxyServer))
        return InsecureAddressText;
    return std::nullopt;
}

} // namespace

TDownloadSession::TDownloadSession(std::string TempFolder, TDownloadTimeouts Limits)
    : Timeouts(Limits), TempFile(std::move(TempFolder))
{
    Http.SetReadTimeout(Timeouts.FirstMs);
    Http.SetLowSpeedLimit(Timeouts.LowSpeedBytes, Timeouts.LowSpeedSeconds);
    Http.SetTimeLimit(Timeouts.RequestMs);
}

std::string TDownloadSession::Url(std::string_view Path) const
{
    return ServiceAddress + std::string(Path);
}

TDownloadOutcome TDownloadSession::RunDownload(TDownloadHost& Host, std::optional<std::chrono::milliseconds> RunDeadline)
{
    Host.ClearLog();
    if (!Host.ConnectionTest()) {
        Host.ShowMessage("Internet connection required.");
        return TDownloadOutcome::NotStarted;
    }
    const TDownloadInputs inputs = Host.DownloadInputs();
    // Nothing is sent without a login, nor where the password could be read on its way.
    if (const std::optional<std::string> refusal = Refusal(inputs)) {
        Host.ShowMessage(*refusal);
        return TDownloadOutcome::NotStarted;
    }
    Host.SetCloseEnabled(false);
    Deadline = TRunDeadline(RunDeadline);
    Tally = {};
    TDownloadOutcome outcome = TDownloadOutcome::Failed;
    try {
        outcome = RunSession(Host, inputs);
    } catch (const std::exception& Error) {
        // Any failure the steps do not handle themselves ends the run with its own text.
        Host.ShowError(Error.what());
    }
    Host.SetCloseEnabled(true);
    return outcome;
}

TDownloadOutcome TDownloadSession::RunSession(TDownloadHost& Host, const TDownloadInputs& Inputs)
{
    ServiceAddress = Inputs.SpaceTrackAddress;
    ConfigureProxy(Inputs);
    Host.ShowStatus("Connecting to Space-Track");
    Host.Log("Connecting to Space-Track", false);
    try {
        LimitNextRequest();
        Http.GetText(Url(LogoutPath));
    } catch (const EHttpError&) {
        ShowSelfClosingMessage(Host, "Error connecting to the Space-Track Web site");
        return TDownloadOutcome::Unreachable;
    }
    const bool loggedIn = Login(Host, Inputs);
    if (loggedIn) {
        Host.Log("Logged into Space-Track", false);
        DownloadChosen(Host, Inputs);
    } else {
        ShowSelfClosingMessage(Host, "Error entering username and password, or in logging into the Space-Track Web site");
    }
    Logout(Host);
    if (!loggedIn)
        return TDownloadOutcome::LoginRefused;
    if (Tally.Failed > 0)
        Host.Log(std::to_string(Tally.Failed) + " of " + std::to_string(Tally.Chosen) + " downloads failed", false);
    return OutcomeOfDownloads();
}

TDownloadOutcome TDownloadSession::OutcomeOfDownloads() const
{
    if (Tally.CutByDeadline)
        return TDownloadOutcome::DeadlinePassed;
    return Tally.Failed > 0 ? TDownloadOutcome::PartlyFailed : TDownloadOutcome::Completed;
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

bool TDownloadSession::Login(TDownloadHost& Host, const TDownloadInputs& Inputs)
{
    Http.SetContentType("application/x-www-form-urlencoded");
    Host.ShowStatus("Logging into Space-Track Web site");
    Host.Log("Logging into Space-Track", false);
    std::string answer;
    try {
        LimitNextRequest();
        answer = Http.PostForm(Url(LoginPath), LoginForm(Inputs.Username, Inputs.Password));
    } catch (const EHttpError&) {
        // Not reported by itself: an empty answer lacks the marker, and that is reported.
    }
    Http.SetContentType("");
    return HoldsRefreshMarker(answer);
}

void TDownloadSession::DownloadChosen(TDownloadHost& Host, const TDownloadInputs& Inputs)
{
    for (std::size_t row = 0; row < GroupCount; ++row) {
        const TGroupChoice& group = Inputs.Groups[row];
        if (group.Checked && !group.FileName.empty())
            Attempt(Host, group.FileName, [&] { DownloadGroup(Host, SpaceTrackGroups[row].Id, group.FileName); });
    }
    if (!Inputs.Favourites.empty() && !Inputs.FavouritesFileName.empty())
        Attempt(Host, Inputs.FavouritesFileName,
                [&] { DownloadIndividualList(Host, Inputs.Favourites, Inputs.FavouritesFileName); });
}

void TDownloadSession::Attempt(TDownloadHost& Host, const std::string& FileName, const std::function<void()>& Download)
{
    ++Tally.Chosen;
    if (Deadline.Passed()) {
        LogFailure(Host, FileName, DeadlineReason);
        return;
    }
    try {
        Download();
    } catch (const EGroupFailed& Failure) {
        LogFailure(Host, FileName, Failure.what());
    }
}

void TDownloadSession::LogFailure(TDownloadHost& Host, const std::string& FileName, const std::string& Reason)
{
    if (Deadline.Passed() && !Tally.CutByDeadline) {
        Tally.CutByDeadline = true;
        Host.Log("Run deadline passed, the remaining downloads are skipped", false);
    }
    ++Tally.Failed;
    Host.Log("   Failed: " + EscapeControls(FileName) + " (" + EscapeControls(Reason) + "), the earlier file is kept", true);
}

// The logout is sent even after the run deadline, with a short time of its own.
void TDownloadSession::Logout(TDownloadHost& Host)
{
    try {
        LimitNextRequest(std::chrono::milliseconds(Timeouts.LogoutMs));
        Http.GetText(Url(LogoutPath));
    } catch (const EHttpError& Error) {
        // Logged only: the files are saved, and the session ends on the service's side in time.
        Host.Log(std::string("Logout failed: ") + Error.what(), false);
        return;
    }
    Host.ShowStatus("Logged out of Space-Track Web site");
    Host.Log("Logged out of Space-Track", false);
}

void TDownloadSession::ShowSelfClosingMessage(TDownloadHost& Host, const std::string& Text)
{
    const bool unattended = Host.Unattended();
    if (unattended)
        Host.SetPopupTimerArmed(true);
    Host.ShowMessage(Text);
    if (unattended)
        Host.SetPopupTimerArmed(false);
}

std::string TDownloadSession::FailureReason(const EHttpError& Error) const
{
    return Deadline.Passed() ? DeadlineReason : Error.what();
}

void TDownloadSession::LimitNextRequest(std::chrono::milliseconds Floor)
{
    Http.SetTimeLimit(Deadline.RequestLimitMs(Timeouts.RequestMs, Floor));
}

void TDownloadSession::FetchGroup(int GroupId)
{
    TUniqueFd file(TempFile.Create());
    Http.SetReadTimeout(Timeouts.GroupMs);
    LimitNextRequest();
    std::string failure;
    try {
        Http.GetToFile(Url(GroupPathPrefix) + std::to_string(GroupId), file.Get());
    } catch (const EHttpError& Error) {
        failure = FailureReason(Error);
    }
    if (!file.Close() && failure.empty())
        failure = std::string("cannot write the download: ") + std::strerror(errno);
    if (!failure.empty()) {
        // Whatever part arrived must not replace the earlier file of that name.
        ::unlink(TempFile.Path().c_str());
        throw EGroupFailed(failure);
    }
}

void TDownloadSession::DownloadGroup(TDownloadHost& Host, int GroupId, const std::string& FileName)
{
    if (FileName.empty())
        return;
    Host.ShowStatus("Getting " + EscapeControls(FileName));
    FetchGroup(GroupId);
    std::vector<std::string> lines;
    try {
        lines = GunzipToLines(TempFile.Path());
    } catch (const EGzipPathTooLong& Error) {
        Host.ShowMessage(Error.what());
        throw EGroupFailed("temporary path too long");
    } catch (const EAnswerTooLarge& Error) {
        throw EGroupFailed(Error.what());
    } catch (const EGzipData&) {
        throw EGroupFailed("damaged gzip data");
    }
    SaveAndCheck(Host, lines, FileName);
}

void TDownloadSession::DownloadIndividualList(TDownloadHost& Host, const std::vector<std::string>& Numbers,
                                              const std::string& FileName)
{
    if (FileName.empty() || Numbers.empty())
        return;
    Host.ShowStatus("Getting " + EscapeControls(FileName));
    Http.SetReadTimeout(Timeouts.QueryMs);
    LimitNextRequest();
    std::string answer;
    try {
        answer = Http.PostForm(Url(QueryPath), QueryForm(Numbers));
    } catch (const EHttpError& Error) {
        throw EGroupFailed(FailureReason(Error));
    }
    std::vector<std::string> lines;
    try {
        lines = BoundedLines(answer);
    } catch (const EAnswerTooLarge& Error) {
        throw EGroupFailed(Error.what());
    }
    // An answer too short to hold the block of sets is not the list, whatever its status.
    if (lines.size() < 5)
        throw EGroupFailed("not element sets");
    TrimPreformattedBlock(lines);
    if (lines.size() <= 2)
        throw EGroupFailed("not element sets");
    SaveAndCheck(Host, lines, FileName);
}

} // namespace elsetry
