// The start-up's decisions without a window: the switches, the dial and proxy offers, and what
// ends an unattended run. The window tests cover the plain cases against the stand-in service.

#include "download/CommandLine.h"
#include "download/Startup.h"
#include "download/WindowlessRun.h"
#include "platform/AtomicFile.h"
#include "settings/RegistryVariables.h"
#include "tests/download/DownloadSupport.h"
#include "tests/support/StoreFixture.h"

#include <gtest/gtest.h>

#include <deque>

namespace elsetry::test {
namespace {

using TEvents = std::vector<std::string>;

class TFakeStartupHost final : public TStartupHost {
public:
    std::deque<bool> Connected; // successive tests; the last answer repeats
    bool AnswerYes = true;
    std::string Server = "old.lan";
    std::string Port = "80";
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
    void SetProxyServer(const std::string&, const std::string&) override { Events.push_back("proxy set"); }
};

TEST(CommandLine, Switches)
{
    struct TCase {
        TArguments Arguments;
        bool Dial;
        bool Unattended;
    };
    const TCase cases[] = {
        {{"elsetry", "/auto"}, false, true},   {{"elsetry", "-x", "-Start"}, false, true},
        {{"elsetry", "AUTO"}, false, false},   {{"elsetry", "--auto"}, false, false},
        {{"/auto"}, false, false},             {{"elsetry", "/redial-dialup"}, true, false},
        {{"/opt/my-dialer/elsetry"}, true, false},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.Arguments));
        EXPECT_EQ(WantsDial(c.Arguments), c.Dial);
        EXPECT_EQ(WantsUnattendedRun(c.Arguments), c.Unattended);
    }
}

TEST(Startup, Decisions)
{
    const std::string message = "message ";
    struct TCase {
        const char* What;
        std::deque<bool> Connected;
        bool CanDial;
        std::string ProxyList;
        TDownloadOutcome Outcome;
        TEvents Expected;
    };
    const TCase cases[] = {
        {"no connection, no dialler", {false}, false, "", TDownloadOutcome::Completed, {message + NoConnectionText}},
        {"dial fails", {false, false}, true, "", TDownloadOutcome::Completed,
         {"dial 2", "ask Internet Connection Required", "dial 2", message + DialFailedText}},
        {"a dial that connects still counts the first test as failed", {false, true}, true, "new.lan:3128",
         TDownloadOutcome::Completed, {"dial 2", "ask Internet Connection Required", "dial 2"}},
        {"only the host differs", {true}, false, "new.lan:80", TDownloadOutcome::Completed,
         {"minimise", "run unattended", "close"}},
        {"only the port differs", {true}, false, "old.lan:3128", TDownloadOutcome::Completed,
         {"minimise", "run unattended", "close"}},
        {"both differ", {true}, false, "new.lan:3128", TDownloadOutcome::Completed,
         {"ask Proxy may be required", "proxy set"}},
        {"a refused login closes too", {true}, true, "", TDownloadOutcome::LoginRefused,
         {"dial 2", "minimise", "run unattended", "hang up", "close"}},
        {"a failure shown in an error box stays open", {true}, true, "", TDownloadOutcome::Failed,
         {"dial 2", "minimise", "run unattended"}},
        {"so does one after the downloads began", {true}, true, "", TDownloadOutcome::FailedMidway,
         {"dial 2", "minimise", "run unattended"}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.What);
        TFakeStartupHost host;
        host.Connected = c.Connected;
        TInternetFunctions internet;
        if (c.CanDial) {
            internet.Autodial = [&host](unsigned long Flags) {
                host.Events.push_back("dial " + std::to_string(Flags));
                return true;
            };
            internet.AutodialHangup = [&host](unsigned long) {
                host.Events.push_back("hang up");
                return true;
            };
        }
        internet.QueryProxyOption = [&c] {
            return std::optional<TProxyOption>({InternetOpenTypeProxy, c.ProxyList});
        };
        // As the window acts on the plan.
        const TStartupPlan plan = PlanStartup(host, internet, {"elsetry", "-DIAL", "-AUTO"});
        if (plan.Unattended) {
            host.Events.insert(host.Events.end(), {"minimise", "run unattended"});
            if (FinishUnattendedRun(plan, c.Outcome, internet))
                host.Events.push_back("close");
        }
        EXPECT_EQ(host.Events, c.Expected);
    }
}

class WindowlessRunTest : public StoreTest {};

// "-AUTO" without a display: the start-up and the run take everything from the store. This test
// program links no Qt at all, so the run cannot have made a window.
TEST_F(WindowlessRunTest, UnattendedStartRunsFromTheStoreAlone)
{
    TDownloadWorld world;
    world.ServeGroup(2, Catalogue(3));
    for (const auto& [name, value] :
         {std::pair<std::string, std::string>{"Source", std::string(SpaceTrackLegacySource)},
          {"SpaceTrackAddress", world.Service->Address()},
          {"Username", world.Options.Username},
          {"Password", world.Options.Password},
          {"KeplerPath", world.Root.Path + "/keps/"}}) {
        TRegistryString setting(name, "");
        setting.Value = value;
    }
    TRegistryBoolean fullCatalogue("GetFullCatalog", false);
    fullCatalogue.Value = true;
    fullCatalogue.Save();
    const TWindowlessSetup setup{{"elsetry", "-AUTO"}, {},   [] { return true; },     {},
                                 world.Temp,           Home, std::chrono::minutes(30)};

    testing::internal::CaptureStdout();
    EXPECT_EQ(RunWithoutWindow(setup), TDownloadOutcome::Completed);
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_NE(out.find("   Saved: FullCatalog.txt\n"), std::string::npos) << out;
    EXPECT_EQ(ReadWholeFile(world.Saved("FullCatalog.txt")), CrLfText(Catalogue(3)));
    EXPECT_EQ(StoredString(ProgramKeyPath(), "LastRunOutcome"), "complete");
    EXPECT_NE(StoredString(ProgramKeyPath(), "LastSuccessfulRun"), "<missing>");
    EXPECT_EQ(StoredString(ProgramKeyPath(), "HistoricDataPath"), "~/.local/share/elsetry/historic/")
        << "the defaults the window would have stored";
}

} // namespace
} // namespace elsetry::test
