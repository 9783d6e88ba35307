#include "download/WindowlessRun.h"

#include "download/ConsoleRunLog.h"
#include "download/LastRun.h"
#include "download/ProgramSettings.h"
#include "download/RunRequestStore.h"
#include "download/Startup.h"
#include "download/sources/RunDeadline.h"
#include "platform/ConnectionTest.h"
#include "platform/LeftoverSweep.h"
#include "platform/TempFile.h"
#include "settings/RegistryVariables.h"
#include "settings/SettingsFile.h"

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <utility>

namespace elsetry {

namespace {

// The start-up's host when there is no window: the settings store stands for the controls.
class TWindowlessHost final : public TStartupHost {
public:
    explicit TWindowlessHost(const TWindowlessSetup& Surroundings)
        : Setup(Surroundings), Log(ApplicationTitle()), Session(Surroundings.TempFolder)
    {
    }

    // The unattended run the start-up planned.
    TDownloadOutcome RunDownload()
    {
        TRunRequest request = RunRequestFromStore(Setup.Home, Setup.SettingsFiles, std::time(nullptr));
        request.Unattended = true;
        request.Deadline = Setup.RunDeadline;
        request.Connected = Setup.ConnectionTest();
        const TDownloadOutcome outcome = Session.RunDownload(Log, request);
        if (outcome == TDownloadOutcome::Completed)
            RecordSuccessfulRun();
        StoreLastRun(LastRunOf(outcome, Log.Summary, std::time(nullptr)));
        return outcome;
    }

private:
    bool ConnectionTest() override { return Setup.ConnectionTest(); }
    void ShowMessage(const std::string& Text) override { Log.ShowMessage(Text); }
    bool AskYesNo(const std::string& Caption, const std::string& Text) override { return Log.AskYesNo(Caption, Text); }
    std::string ProxyServerText() const override { return StoredSetting("ProxyServer", ""); }
    std::string ProxyPortText() const override { return StoredSetting("ProxyPort", ""); }
    void SetProxyServer(const std::string& Host, const std::string& Port) override
    {
        TRegistryString server("ProxyServer", "");
        TRegistryString port("ProxyPort", "");
        server.Value = Host;
        port.Value = Port;
    }

    const TWindowlessSetup& Setup;
    TConsoleRunLog Log;
    TDownloadSession Session;
};

// What a killed or crashed run left in the folders the program writes to.
void RemoveLeftoverTemporaries(const TWindowlessSetup& Setup)
{
    const TRunRequest stored = RunRequestFromStore(Setup.Home, {}, std::time(nullptr));
    const std::time_t before = std::time(nullptr) - LeftoverAge;
    SweepLeftovers(stored.Folders.Group, IsReplacementLeftover, before);
    SweepLeftovers(stored.Folders.Historic, IsReplacementLeftover, before);
    SweepLeftovers(Setup.TempFolder, IsDownloadLeftover, before);
}

// "~" as the window reads it: $HOME without a trailing "/", or "/" when it is not set.
std::string HomeFolder()
{
    const char* home = std::getenv("HOME");
    if (!home || !*home)
        return "/";
    std::string folder = std::filesystem::path(home).lexically_normal().string();
    while (folder.size() > 1 && folder.ends_with('/'))
        folder.pop_back();
    return folder;
}

} // namespace

TWindowlessSetup ProgramWindowlessSetup(TArguments Arguments)
{
    TWindowlessSetup setup;
    setup.Arguments = std::move(Arguments);
    setup.Internet = LoadInternetFunctions();
    setup.ConnectionTest = MachineNameResolves;
    setup.SettingsFiles = SettingsFileCandidates(ExecutablePath());
    setup.TempFolder = UserTempFolder();
    setup.Home = HomeFolder();
    setup.RunDeadline = RunDeadlineFrom(ReadProgramString(RunDeadlineSetting));
    return setup;
}

std::optional<TDownloadOutcome> RunWithoutWindow(const TWindowlessSetup& Setup)
{
    PrepareProgramSettings();
    RemoveLeftoverTemporaries(Setup);
    TWindowlessHost host(Setup);
    const TStartupPlan plan = PlanStartup(host, Setup.Internet, Setup.Arguments);
    if (!plan.Unattended)
        return std::nullopt;
    const TDownloadOutcome outcome = host.RunDownload();
    // Nothing stays open here: a run that failed ends the program all the same.
    FinishUnattendedRun(plan, outcome, Setup.Internet);
    return outcome;
}

} // namespace elsetry
