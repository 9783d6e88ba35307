// The program itself, started as cron would start it: "-AUTO", no display, a stand-in service.

#include "download/DownloadRun.h"
#include "download/LastRun.h"
#include "platform/TextFile.h"
#include "tests/support/StoreFixture.h"
#include "tools/catalogue-service/CatalogueService.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <ctime>
#include <sys/stat.h>
#include <sys/wait.h>

namespace elsetry::test {
namespace {

// The age --status gives a time of the past ("YYYY-MM-DD HH:MM" UTC).
std::string AgeOf(const std::string& Time)
{
    std::tm fields{};
    ::strptime(Time.c_str(), "%Y-%m-%d %H:%M", &fields);
    return AgeText(std::chrono::seconds(std::time(nullptr) - ::timegm(&fields)));
}

struct TProgramRun {
    int Status = -1;
    std::string Out;
    std::string Err;
};

class UnattendedProgramTest : public elsetry::test::StoreTest {
protected:
    void SetUp() override
    {
        StoreTest::SetUp();
        for (const char* folder : {"/keps", "/tmp", "/home", "/path"})
            std::filesystem::create_directories(Files.Path + folder);
        service::TServiceOptions options;
        options.DataFolder = Files.Path + "/data";
        service::WriteDemoGroups(options.DataFolder, 60);
        options.CelesTrakGroups = true;
        Service = std::make_unique<service::TCatalogueService>(options);
        // Space-Track's query API, the default source, with the weather group's members from the
        // stand-in's CelesTrak lists.
        Set("SpaceTrackAddress", Service->Address());
        Set("CelesTrakAddress", Service->Address());
        Set("Username", options.Username);
        Set("Password", options.Password);
        Set("KeplerPath", Files.Path + "/keps/");
        Set("MyFavourites", "21263,23455"); // the first sets the demo groups hold
        auto store = Store();
        ASSERT_TRUE(store->OpenKey(Key, true));
        store->WriteBool("GetWeather", true);
    }

    static void WriteText(const std::string& Path, const std::string& Text)
    {
        std::ofstream(Path, std::ios::binary) << Text;
    }

    void Set(const std::string& Name, const std::string& Text) const
    {
        auto store = Store();
        ASSERT_TRUE(store->OpenKey(Key, true));
        store->WriteString(Name, Text);
    }

    // Runs the program without a display, a desktop session or proxy variables; killed after a
    // minute. The folders are temporary ones of ours, with no characters the shell would see.
    TProgramRun Run(const std::string& Switch, const std::string& Display = "") const
    {
        const int status = std::system((Command(Switch, Display) + " 2>" + Files.Path + "/err.txt").c_str());
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadWholeFile(Files.Path + "/out.txt"),
                ReadWholeFile(Files.Path + "/err.txt")};
    }
    // As Run, with standard error on a terminal; Err is what the terminal showed.
    TProgramRun RunAtTerminal(const std::string& Switch) const
    {
        const std::string command = "/usr/bin/script -qec '" + Command(Switch, "") + "' " + Files.Path
                                    + "/terminal.txt >/dev/null </dev/null";
        const int status = std::system(command.c_str());
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadWholeFile(Files.Path + "/out.txt"),
                ReadWholeFile(Files.Path + "/terminal.txt")};
    }
    // The program's command with standard output to out.txt.
    std::string Command(const std::string& Switch, const std::string& Display) const
    {
        return
            "env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM -u http_proxy -u https_proxy -u HTTP_PROXY"
            " -u HTTPS_PROXY " + Display + " ELSETRY_REGISTRY=" + StoreFile + " XDG_CONFIG_HOME=" + Files.Path + "/home HOME=" +
            Files.Path + "/home TMPDIR=" + Files.Path + "/tmp PATH=" + Files.Path + "/path /usr/bin/timeout 60 " +
            ELSETRY_PROGRAM + " " + Switch + " >" + Files.Path + "/out.txt";
    }

    elsetry::test::TTempFolder Files;
    std::unique_ptr<service::TCatalogueService> Service;
    const std::string Key = "\\Software\\Corriebrook\\elsetry";
};

TEST_F(UnattendedProgramTest, RunWritesTheGroupFilesAndTheSettingsAndExitsZero)
{
    const TProgramRun run = Run("-AUTO");
    EXPECT_EQ(run.Status, 0) << run.Err;
    EXPECT_TRUE(FileExists(Files.Path + "/keps/Weather.txt"));
    EXPECT_TRUE(FileExists(Files.Path + "/keps/MyFavourites.txt"));
    for (const char* line : {"Connecting to Space-Track\n", "   Saved: Weather.txt\n", "Logged out of Space-Track\n"})
        EXPECT_NE(run.Out.find(line), std::string::npos) << line << "\n" << run.Out;
    EXPECT_EQ(run.Err, "");
    EXPECT_EQ(StoredString(Key, "NameWeather"), "<missing>") << "a value the run did not change is not written";
    EXPECT_EQ(StoredString(Key, "Password"), service::TServiceOptions().Password) << "nor one it only read";
    EXPECT_EQ(StoredString("\\Software\\Corriebrook\\App Paths", "elsetry"), ELSETRY_PROGRAM);
}

// At a terminal standard error shows which download is under way; in a file it stays empty.
TEST_F(UnattendedProgramTest, ProgressGoesToStandardErrorOnlyAtATerminal)
{
    const TProgramRun run = RunAtTerminal("-AUTO");
    EXPECT_EQ(run.Status, 0) << run.Err;
    for (const char* line : {"Download 1 of 2", "Download 2 of 2"})
        EXPECT_NE(run.Err.find(line), std::string::npos) << line << "\n" << run.Err;
    EXPECT_EQ(run.Out.find("Download 1 of 2"), std::string::npos) << "not in the log";
    EXPECT_EQ(Run("-AUTO").Err, "");
}

TEST_F(UnattendedProgramTest, FailedDownloadIsLoggedKeepsTheEarlierFileAndExitsThree)
{
    const std::string earlier = "earlier weather sets\r\n";
    WriteText(Files.Path + "/keps/Weather.txt", earlier);
    Set("CelesTrakAddress", Service->Address() + "/nowhere");
    const TProgramRun run = Run("-AUTO");
    EXPECT_EQ(run.Status, 3) << run.Err;
    EXPECT_EQ(ReadWholeFile(Files.Path + "/keps/Weather.txt"), earlier);
    EXPECT_TRUE(FileExists(Files.Path + "/keps/MyFavourites.txt"));
    const std::string host = Service->Address().substr(std::string("http://").size());
    const std::string tail = "   Failed: Weather.txt (membership unavailable from " + host
                             + ": HTTP 404), the earlier file is kept\n   Saved: MyFavourites.txt\n";
    EXPECT_NE(run.Out.find(tail), std::string::npos) << run.Out;
    // The run's summary follows its last line.
    const std::string end = "Logged out of Space-Track\n1 of 2 downloads failed\nRun of ";
    EXPECT_NE(run.Out.find(end), std::string::npos) << run.Out;
    EXPECT_TRUE(run.Out.ends_with("   Weather.txt: failed (membership unavailable from " + host
                                  + ": HTTP 404), 0 satellites kept\n   MyFavourites.txt: saved, 2 satellites\n"))
        << run.Out;
    EXPECT_EQ(run.Err, "");
}

TEST_F(UnattendedProgramTest, RateLimitAnswerStopsTheRunAndExitsThree)
{
    service::TServiceFaults faults;
    faults.RateLimit = service::TRateLimitAnswer::ErrorList;
    Service->SetFaults(faults);
    const TProgramRun run = Run("-AUTO");
    EXPECT_EQ(run.Status, 3) << run.Err;
    EXPECT_FALSE(FileExists(Files.Path + "/keps/Weather.txt"));
    EXPECT_FALSE(FileExists(Files.Path + "/keps/MyFavourites.txt"));
    EXPECT_NE(run.Out.find("Stopped: Space-Track says its query rate limit was passed; the run stops here and "
                           "nothing more is asked for\nLogged out of Space-Track\n2 of 2 downloads failed\nRun of "),
              std::string::npos)
        << run.Out;
    // Every chosen file, so that a cron user can tell which are stale.
    EXPECT_TRUE(run.Out.ends_with("\n   Weather.txt: failed (Space-Track's query rate limit was passed), no file was "
                                  "written\n   MyFavourites.txt: not fetched (run stopped), no file was written\n"))
        << run.Out;
}

TEST_F(UnattendedProgramTest, CelesTrakRunNeedsNoAccountAndStopsAtAFailure)
{
    Set("Source", std::string(CelesTrakSource));
    Set("Username", "");
    Set("Password", "");
    const TProgramRun run = Run("-AUTO");
    EXPECT_EQ(run.Status, 0) << run.Err;
    EXPECT_TRUE(run.Out.starts_with("Connecting to CelesTrak\n   Saved: Weather.txt\n")) << run.Out;
    EXPECT_EQ(run.Out.find("Logged"), std::string::npos) << run.Out;

    const TProgramRun again = Run("-AUTO");
    EXPECT_EQ(again.Status, 0) << again.Err;
    EXPECT_NE(again.Out.find("   Unchanged: Weather.txt (CelesTrak updates every 2 hours; last fetched "),
              std::string::npos)
        << again.Out;

    // A group not asked for yet, which the service fails.
    service::TServiceFaults faults;
    faults.GpErrors = {{"GROUP=amateur", 503}};
    Service->SetFaults(faults);
    WriteText(Files.Path + "/keps/Amateur.txt", "earlier amateur sets\r\n");
    {
        auto store = Store();
        ASSERT_TRUE(store->OpenKey(Key, true));
        store->WriteBool("GetAmateur", true);
    }
    const TProgramRun failing = Run("-AUTO");
    EXPECT_EQ(failing.Status, 3) << failing.Out;
    EXPECT_NE(failing.Out.find("Stopped: "), std::string::npos) << failing.Out;
    EXPECT_EQ(ReadWholeFile(Files.Path + "/keps/Amateur.txt"), "earlier amateur sets\r\n");
}

// A cron job may carry a DISPLAY of a session long gone; nothing answers at :99 here.
TEST_F(UnattendedProgramTest, ADisplayThatCannotBeOpenedFallsBackToNoDisplay)
{
    ASSERT_FALSE(std::filesystem::exists("/tmp/.X11-unix/X99"));
    const TProgramRun run = Run("-AUTO", "DISPLAY=:99");
    EXPECT_EQ(run.Status, 0) << run.Err;
    EXPECT_NE(run.Out.find("   Saved: Weather.txt\n"), std::string::npos) << run.Out;
    EXPECT_EQ(run.Err, "") << "Qt's notes about the display are kept out of the cron mail";
    EXPECT_TRUE(FileExists(Files.Path + "/keps/Weather.txt"));
}

TEST_F(UnattendedProgramTest, WindowWithoutADisplaySaysSoInsteadOfAborting)
{
    const std::string text =
        "elsetry: there is no display to show the window on; start it with -AUTO for one download without a window\n";
    for (const std::string display : {"", "DISPLAY=:99"}) {
        const TProgramRun run = Run("", display);
        EXPECT_EQ(run.Status, 1) << display;
        EXPECT_EQ(run.Err, text) << display;
    }
    const TProgramRun version = Run("--version");
    EXPECT_EQ(version.Status, 0);
    EXPECT_EQ(version.Out, "elsetry " ELSETRY_VERSION "\n");
    const TProgramRun help = Run("-h");
    EXPECT_EQ(help.Status, 0);
    EXPECT_TRUE(help.Out.starts_with("Usage: elsetry [-AUTO | -START] [-DIAL]\n")) << help.Out;
}

TEST_F(UnattendedProgramTest, RunThatDoesNotCompleteExitsNonZeroWithTheBoxOnStandardError)
{
    // The box's text, then where and why on a line of its own.
    const std::pair<std::string, std::string> cases[] = {
        {Service->Address(), "Error entering username and password, or in logging into the Space-Track Web site\n"
                                 + Service->Address() + ": the service did not accept the username and password"},
        {"http://127.0.0.1:1", "Error connecting to the Space-Track Web site\nhttp://127.0.0.1:1: connection refused"},
        {"http://www.space-track.org", InsecureAddressText},
    };
    Set("Password", "wrong");
    for (const auto& [address, box] : cases) {
        Set("SpaceTrackAddress", address);
        const TProgramRun run = Run("/start");
        EXPECT_EQ(run.Status, 1) << "124 would be the time-out";
        EXPECT_EQ(run.Err, "Elsetry from Corriebrook - V" ELSETRY_VERSION ": " + box + "\n");
        EXPECT_FALSE(FileExists(Files.Path + "/keps/Weather.txt"));
    }
}

// A failure of the program's own after the login (here the temporary folder is gone) is shown,
// the session is closed all the same, and the run counts as one whose downloads failed.
TEST_F(UnattendedProgramTest, FailureOfItsOwnAfterTheLoginLogsOutAndExitsThree)
{
    Set("Source", std::string(SpaceTrackLegacySource));
    std::filesystem::remove_all(Files.Path + "/tmp");
    const TProgramRun run = Run("-AUTO");
    EXPECT_EQ(run.Status, 3) << run.Err;
    EXPECT_NE(run.Err.find(Files.Path + "/tmp"), std::string::npos) << run.Err;
    EXPECT_NE(run.Out.find("\nLogged out of Space-Track\n"), std::string::npos) << run.Out;
}

// What a monitor calls: the last run's summary and age, exit 0 only for a complete, recent run.
TEST_F(UnattendedProgramTest, StatusTellsTheLastRunAndWhetherItIsCompleteAndRecent)
{
    const TProgramRun none = Run("--status");
    EXPECT_EQ(none.Status, 3);
    EXPECT_EQ(none.Out, "No run yet\n");
    Set("LastSuccessfulRun", "2025-01-02 03:04 UTC");
    EXPECT_EQ(Run("--status").Out, "Last run: 2025-01-02 03:04 UTC (" + AgeOf("2025-01-02 03:04")
                                       + "), complete; older "
                                         "than 26 h\n")
        << "as earlier versions stored it";

    ASSERT_EQ(Run("-AUTO").Status, 0);
    const TProgramRun fresh = Run("--status");
    EXPECT_EQ(fresh.Status, 0) << fresh.Out;
    EXPECT_TRUE(fresh.Out.starts_with("Last run: ")) << fresh.Out;
    EXPECT_NE(fresh.Out.find(" min ago), complete\nRun of "), std::string::npos) << fresh.Out;
    EXPECT_TRUE(fresh.Out.ends_with("   MyFavourites.txt: saved, 2 satellites\n")) << fresh.Out;
    Set("LastRunEnded", std::to_string(std::time(nullptr) - 30 * 3600));
    EXPECT_EQ(Run("--status").Status, 3);
    EXPECT_EQ(Run("--status --max-age 31").Status, 0);
    EXPECT_EQ(Run("--status --max-age soon").Status, 1);

    Set("Password", "wrong");
    ASSERT_EQ(Run("-AUTO").Status, 1);
    const TProgramRun failed = Run("--status");
    EXPECT_EQ(failed.Status, 3);
    EXPECT_NE(failed.Out.find("min ago), the login was refused\n"), std::string::npos) << failed.Out;
}

// The timer goes where the user's service manager looks, runs at a minute nobody else picks, and
// systemctl is called only where it works; a stand-in systemctl records what it was asked.
TEST_F(UnattendedProgramTest, ScheduleInstallsAUserTimerAndUnscheduleRemovesIt)
{
    const std::string units = Files.Path + "/home/systemd/user/";
    const TProgramRun missing = Run("--schedule");
    EXPECT_EQ(missing.Status, 1);
    EXPECT_NE(missing.Err.find("not enabled: systemctl was not found"), std::string::npos) << missing.Err;
    EXPECT_EQ(Run("--schedule", "ELSETRY_NO_SYSTEMCTL=1").Status, 0);

    WriteText(Files.Path + "/path/systemctl", "#!/bin/sh\necho \"$@\" >>" + Files.Path + "/systemctl.txt\n");
    ASSERT_EQ(::chmod((Files.Path + "/path/systemctl").c_str(), 0755), 0);
    const TProgramRun scheduled = Run("--schedule");
    EXPECT_EQ(scheduled.Status, 0) << scheduled.Err;
    EXPECT_EQ(ReadWholeFile(units + "elsetry.service"), std::string("[Unit]\nDescription=Bring the element sets up to "
                                                                    "date\n\n[Service]\nType=oneshot\nExecStart=\"")
                                                            + ELSETRY_PROGRAM + "\" -AUTO\n");
    const std::string timer = ReadWholeFile(units + "elsetry.timer");
    const std::size_t at = timer.find("\nOnCalendar=*-*-* ");
    ASSERT_NE(at, std::string::npos) << timer;
    int hour = -1;
    int minute = -1;
    ASSERT_EQ(std::sscanf(timer.c_str() + at, "\nOnCalendar=*-*-* %d/6:%d:00\n", &hour, &minute), 2) << timer;
    EXPECT_TRUE(hour >= 0 && hour < 6) << timer;
    EXPECT_TRUE((minute >= 1 && minute <= 24) || (minute >= 31 && minute <= 54)) << timer;
    EXPECT_NE(timer.find("\nRandomizedDelaySec=300\n"), std::string::npos) << timer;
    EXPECT_NE(timer.find("\nWantedBy=timers.target\n"), std::string::npos) << timer;

    EXPECT_EQ(Run("--unschedule").Status, 0);
    EXPECT_FALSE(std::filesystem::exists(units + "elsetry.timer"));
    EXPECT_FALSE(std::filesystem::exists(units + "elsetry.service"));
    EXPECT_EQ(ReadWholeFile(Files.Path + "/systemctl.txt"),
              "--user daemon-reload\n--user enable --now elsetry.timer\n--user disable --now elsetry.timer\n"
              "--user daemon-reload\n");
}

} // namespace
} // namespace elsetry::test
