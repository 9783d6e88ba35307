#include "download/DownloadRun.h"

#include "download/DownloadExchange.h"
#include "download/GroupFailure.h"
#include "download/SaveAndCheck.h"
#include "platform/Gunzip.h"
#include "platform/UniqueFd.h"

#include <unistd.h>

namespace elsetry {

TDownloadSession::TDownloadSession(std::string TempFolder, TDownloadTimeouts ReadTimeouts)
    : Timeouts(ReadTimeouts), TempFile(std::move(TempFolder))
{
    Http.SetReadTimeout(Timeouts.FirstMs);
}

std::string TDownloadSession::Url(std::string_view Path) const
{
    return ServiceAddress + std::string(Path);
}

TDownloadOutcome TDownloadSession::RunDownload(TDownloadHost& Host)
{
    Host.ClearLog();
    if (!Host.ConnectionTest()) {
        Host.ShowMessage("Internet connection required.");
        return TDownloadOutcome::NotStarted;
    }
    const TDownloadInputs inputs = Host.DownloadInputs();
    if (inputs.Username.empty()) {
        Host.ShowMessage("Please enter your Space-Track username");
        return TDownloadOutcome::NotStarted;
    }
    if (inputs.Password.empty()) {
        Host.ShowMessage("Please enter your Space-Track password");
        return TDownloadOutcome::NotStarted;
    }
    Host.SetCloseEnabled(false);
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
    return loggedIn ? TDownloadOutcome::Completed : TDownloadOutcome::LoginRefused;
}

// Settings are changed only when a proxy server is named, so an earlier run's proxy stays in use
// otherwise; a port that is not a number keeps the port set before.
void TDownloadSession::ConfigureProxy(const TDownloadInputs& Inputs)
{
    if (!Inputs.ProxyServer.empty()) {
        Http.SetProxyHost(Inputs.ProxyServer);
        Http.SetProxyUserName("");
        Http.SetProxyPassword("");
        if (!Inputs.ProxyUserName.empty()) {
            Http.SetProxyUserName(Inputs.ProxyUserName);
            Http.SetProxyPassword(Inputs.ProxyPassword);
        }
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
        answer = Http.PostForm(Url(LoginPath), LoginForm(Inputs.Username, Inputs.Password));
    } catch (const EHttpError&) {
        // Not reported by itself: an empty answer lacks the marker, and that is reported.
    }
    Http.SetContentType("");
    return HoldsRefreshMarker(answer);
}

void TDownloadSession::DownloadChosen(TDownloadHost& Host, const TDownloadInputs& Inputs)
{
    for (std::size_t row = 0; row < GroupCount; ++row)
        if (Inputs.Groups[row].Checked)
            DownloadGroup(Host, SpaceTrackGroups[row].Id, Inputs.Groups[row].FileName);
    if (!Inputs.Favourites.empty())
        DownloadIndividualList(Host, Inputs.Favourites, Inputs.FavouritesFileName);
}

void TDownloadSession::Logout(TDownloadHost& Host)
{
    try {
        Http.GetText(Url(LogoutPath));
    } catch (const EHttpError&) {
        // A failed logout is not reported; the session ends on the service's side in time.
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

bool TDownloadSession::FetchGroup(int GroupId)
{
    TUniqueFd file(TempFile.Create());
    Http.SetReadTimeout(Timeouts.GroupMs);
    bool received = true;
    try {
        Http.GetToFile(Url(GroupPathPrefix) + std::to_string(GroupId), file.Get());
    } catch (const EHttpError&) {
        // A failed group is skipped without a word.
        received = false;
    }
    return file.Close() && received;
}

void TDownloadSession::DownloadGroup(TDownloadHost& Host, int GroupId, const std::string& FileName)
{
    if (FileName.empty())
        return;
    Host.ShowStatus("Getting " + FileName);
    if (!FetchGroup(GroupId)) {
        // Whatever part arrived must not replace the earlier file of that name.
        ::unlink(TempFile.Path().c_str());
        return;
    }
    std::vector<std::string> lines;
    try {
        lines = GunzipToLines(TempFile.Path());
    } catch (const EGzipPathTooLong& Error) {
        Host.ShowMessage(Error.what());
        return;
    } catch (const EAnswerTooLarge& Error) {
        throw EGroupFailed(Error.what());
    } catch (const EGzipData&) {
        // A damaged or oversized answer counts as a failed group.
        return;
    }
    SaveAndCheck(Host, lines, FileName);
}

void TDownloadSession::DownloadIndividualList(TDownloadHost& Host, const std::vector<std::string>& Numbers,
                                              const std::string& FileName)
{
    if (FileName.empty() || Numbers.empty())
        return;
    Host.ShowStatus("Getting " + FileName);
    Http.SetReadTimeout(Timeouts.QueryMs);
    std::string answer;
    try {
        answer = Http.PostForm(Url(QueryPath), QueryForm(Numbers));
    } catch (const EHttpError&) {
        // Ignored: an empty answer saves nothing, and a partial one is never used.
        return;
    }
    std::vector<std::string> lines;
    try {
        lines = BoundedLines(answer);
    } catch (const EAnswerTooLarge& Error) {
        throw EGroupFailed(Error.what());
    }
    if (lines.size() < 5)
        return;
    TrimPreformattedBlock(lines);
    if (lines.size() > 2)
        SaveAndCheck(Host, lines, FileName);
}

} // namespace elsetry
