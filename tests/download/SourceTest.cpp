// The run's shared steps driven by a source that sends nothing, so that they are shown to hold
// for any source: the order of the steps, the failure rule, the saving and the outcome.

#include "download/sources/RunStops.h"
#include "platform/AtomicFile.h"
#include "tests/download/DownloadSupport.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>

namespace elsetry::test {
namespace {

// What the fake source answers, and the steps the run asked of it.
struct TFakeService {
    bool Answers = true;
    bool WantsLogin = true;
    bool AcceptsLogin = true;
    // Why the login request fails on its way; empty when it arrives.
    std::string LoginFailure;
    std::map<int, std::function<TSourceAnswer()>> Groups;
    std::function<TSourceAnswer()> List;
    TLines Calls;
};

class TFakeSource : public TSource {
public:
    explicit TFakeSource(TFakeService& FakeService) : Service(FakeService) {}

    std::string ServiceName() const override { return Service.WantsLogin ? "Space-Track" : "Open Catalogue"; }
    bool NeedsLogin() const override { return Service.WantsLogin; }
    std::string LoginUrl() const override { return "https://catalogue.invalid/login"; }
    void Probe(TRunChannel&) override
    {
        Service.Calls.push_back("probe");
        if (!Service.Answers)
            throw EHttpError("connection refused");
    }
    bool LogIn(TRunChannel&, const std::string& Username, const std::string& Password) override
    {
        Service.Calls.push_back("login " + Username + " " + Password);
        if (!Service.LoginFailure.empty())
            throw EHttpError(Service.LoginFailure);
        return Service.AcceptsLogin;
    }
    TSourceAnswer GroupAnswer(TRunChannel&, const TSpaceTrackGroup& Group, TFileForm) override
    {
        Service.Calls.push_back("group " + std::to_string(Group.Id));
        return Service.Groups.at(Group.Id)();
    }
    TSourceAnswer IndividualListAnswer(TRunChannel&, const TLines& Numbers, TFileForm) override
    {
        Service.Calls.push_back("list " + std::to_string(Numbers.size()));
        return Service.List();
    }
    void LogOut(TRunChannel&) override { Service.Calls.push_back("logout"); }

private:
    TFakeService& Service;
};

struct TFakeWorld {
    TTempFolder Root;
    TFakeService Service;
    TDownloadSession Session;
    TDownloadRecordingHost Host;

    TFakeWorld()
        : Session(Root.Path, {}, [this](const TDownloadInputs&) { return std::make_unique<TFakeSource>(Service); })
    {
        std::filesystem::create_directory(Root.Path + "/keps");
        Host.Kepler = Root.Path + "/keps/";
        Host.Historic = Root.Path + "/hist/";
        Host.Inputs.Username = "observer";
        Host.Inputs.Password = "secret";
    }
};

TEST(Source, RefusedLoginFetchesNothingAndLogsOut)
{
    TFakeWorld world;
    world.Service.AcceptsLogin = false;
    world.Host.Inputs.Groups[RowOf(2)] = {true, "FullCatalog.txt"};

    EXPECT_EQ(world.Session.RunDownload(world.Host, world.Host.Request()), TDownloadOutcome::LoginRefused);

    EXPECT_EQ(world.Service.Calls, (TLines{"probe", "login observer secret", "logout"}));
    EXPECT_EQ(world.Host.Only("message"),
              TLines{"Error entering username and password, or in logging into the Space-Track Web site\n"
                     + world.Host.Inputs.SpaceTrackAddress + ": the service did not accept the username and password"});
}

// Only the service's refusal leads the window to the password; a login that got no answer says
// why instead.
TEST(Source, LoginThatFailsSaysWhetherThePasswordWasRefused)
{
    struct TCase {
        const char* What;
        bool Accepts;
        std::string Failure;
        std::string Reason;
        bool Refused;
    };
    const TCase cases[] = {
        {"refused", false, "", "the service did not accept the username and password", true},
        {"no answer", true, "timed out after 21 s", "timed out after 21 s", false},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.What);
        TFakeWorld world;
        world.Service.AcceptsLogin = c.Accepts;
        world.Service.LoginFailure = c.Failure;
        const std::string line = world.Host.Inputs.SpaceTrackAddress + ": " + c.Reason;

        EXPECT_EQ(world.Session.RunDownload(world.Host, world.Host.Request()), TDownloadOutcome::LoginRefused);

        EXPECT_EQ(world.Service.Calls, (TLines{"probe", "login observer secret", "logout"}));
        EXPECT_EQ(world.Host.Only("log"),
                  (TLines{"Connecting to Space-Track", "Logging into Space-Track", line, "Logged out of Space-Track"}));
        EXPECT_EQ(world.Host.Only("status").back(), "Run ended: " + c.Reason);
        EXPECT_EQ(world.Session.PasswordRefused(), c.Refused);
    }
}

TEST(Source, ServiceThatDoesNotAnswerIsNotAskedForMore)
{
    TFakeWorld world;
    world.Service.Answers = false;

    EXPECT_EQ(world.Session.RunDownload(world.Host, world.Host.Request()), TDownloadOutcome::Unreachable);

    EXPECT_EQ(world.Service.Calls, TLines{"probe"});
    EXPECT_EQ(world.Host.Only("message"), TLines{"Error connecting to the Space-Track Web site\n"
                                                 + world.Host.Inputs.SpaceTrackAddress + ": connection refused"});
}

TEST(Source, FailingStepsAreLoggedWithTheirReasonAndTheRestIsSaved)
{
    TFakeWorld world;
    const TLines sets = Catalogue(6);
    const TLines full(sets.begin(), sets.begin() + 12);
    const TLines list(sets.begin() + 12, sets.end());
    const std::string earlier = world.Root.Write("keps/Weather.txt", "kept as it was\r\n");
    world.Service.Groups[2] = [&] { return TSourceAnswer::Sets(full); };
    world.Service.Groups[20] = []() -> TSourceAnswer { throw EHttpError("HTTP 500"); };
    world.Service.Groups[8] = [] { return TSourceAnswer::Failed("not element sets"); };
    world.Service.Groups[4] = []() -> TSourceAnswer { throw std::bad_alloc(); };
    world.Service.List = [&] { return TSourceAnswer::Sets(list); };
    for (const auto& [id, name] :
         {std::pair{8, "Weather.txt"}, {2, "FullCatalog.txt"}, {20, "Amateur.txt"}, {4, "Geo.txt"}})
        world.Host.Inputs.Groups[RowOf(id)] = {true, name};
    world.Host.Inputs.Favourites = {"25730", "26536"};
    world.Host.Inputs.FavouritesFileName = "MyFavourites.txt";

    EXPECT_EQ(world.Session.RunDownload(world.Host, world.Host.Request()), TDownloadOutcome::PartlyFailed);

    EXPECT_EQ(world.Service.Calls, (TLines{"probe", "login observer secret", "group 2", "group 20", "group 4",
                                           "group 8", "list 2", "logout"}));
    EXPECT_EQ(
        world.Host.Only("log"),
        (TLines{"Connecting to Space-Track", "Logging into Space-Track", "Logged into Space-Track",
                "   Saved: FullCatalog.txt", "      4 satellites",
                "   Failed: Amateur.txt (HTTP 500), no file was written",
                "   Failed: Geo.txt (out of memory), no file was written",
                "   Failed: Weather.txt (not element sets), the earlier file is kept", "   Saved: MyFavourites.txt",
                "      2 satellites", "Logged out of Space-Track", "3 of 5 downloads failed"}));
    EXPECT_EQ(ReadWholeFile(world.Host.Kepler + "FullCatalog.txt"), CrLfText(full));
    EXPECT_EQ(ReadWholeFile(world.Host.Kepler + "MyFavourites.txt"), CrLfText(list));
    EXPECT_EQ(ReadWholeFile(earlier), "kept as it was\r\n");
    EXPECT_FALSE(FileExists(world.Host.Kepler + "Amateur.txt"));
}

// A failure of the program's own (a folder that cannot be written, say) ends the run, but the
// session it opened is closed first, and the run counts as one with failed downloads.
TEST(Source, FailureOfItsOwnAfterTheLoginLogsOutAndEndsTheRun)
{
    for (const bool login : {true, false}) {
        SCOPED_TRACE(login ? "with a login" : "without a login");
        TFakeWorld world;
        world.Service.WantsLogin = login;
        world.Service.Groups[2] = []() -> TSourceAnswer {
            throw EFileError("Cannot create \"/tmp/x\": Permission denied");
        };
        world.Service.Groups[8] = [] { return TSourceAnswer::Sets(Catalogue(2)); };
        world.Host.Inputs.Groups[RowOf(2)] = {true, "FullCatalog.txt"};
        world.Host.Inputs.Groups[RowOf(8)] = {true, "Weather.txt"};

        EXPECT_EQ(world.Session.RunDownload(world.Host, world.Host.Request()), TDownloadOutcome::FailedMidway);

        const TLines calls = login ? TLines{"probe", "login observer secret", "group 2", "logout"}
                                   : TLines{"probe", "group 2"};
        EXPECT_EQ(world.Service.Calls, calls);
        EXPECT_EQ(world.Host.Only("error"), TLines{"Cannot create \"/tmp/x\": Permission denied"});
        EXPECT_EQ(world.Host.Only("status").back(), "Run ended: Cannot create \"/tmp/x\": Permission denied");
    }
}

TEST(Source, ServiceWithoutALoginIsAskedOnlyForTheDownloads)
{
    TFakeWorld world;
    world.Service.WantsLogin = false;
    world.Host.Inputs.Username.clear();
    world.Host.Inputs.Password.clear();
    const TLines sets = Catalogue(2);
    world.Service.Groups[2] = [&] { return TSourceAnswer::Sets(sets); };
    world.Service.Groups[8] = [] { return TSourceAnswer::Unchanged("updated every 2 hours"); };
    world.Service.Groups[20] = []() -> TSourceAnswer { throw ERunStopped("the service answered HTTP 503"); };
    for (const auto& [id, name] : {std::pair{2, "FullCatalog.txt"}, {8, "Weather.txt"}, {20, "Amateur.txt"}})
        world.Host.Inputs.Groups[RowOf(id)] = {true, name};

    EXPECT_EQ(world.Session.RunDownload(world.Host, world.Host.Request()), TDownloadOutcome::Stopped);

    EXPECT_EQ(world.Service.Calls, (TLines{"probe", "group 2", "group 20"}));
    EXPECT_EQ(world.Host.Only("log"),
              (TLines{"Connecting to Open Catalogue", "   Saved: FullCatalog.txt", "      2 satellites",
                      "   Failed: Amateur.txt (the service answered HTTP 503), no file was written",
                      "Stopped: the service answered HTTP 503", "2 of 3 downloads failed"}));
    EXPECT_EQ(world.Host.Summary.back(), "   Weather.txt: not fetched (run stopped), no file was written");

    world.Service.Groups[20] = [&] { return TSourceAnswer::Sets(sets); };
    world.Service.Calls.clear();
    EXPECT_EQ(world.Session.RunDownload(world.Host, world.Host.Request()), TDownloadOutcome::Completed);
    EXPECT_EQ(world.Service.Calls, (TLines{"probe", "group 2", "group 20", "group 8"}));
    EXPECT_EQ(world.Host.Only("log").back(), "   Unchanged: Weather.txt (updated every 2 hours)");
    EXPECT_TRUE(world.Host.Only("message").empty());
}

} // namespace
} // namespace elsetry::test
