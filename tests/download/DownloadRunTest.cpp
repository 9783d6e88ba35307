// Whole download runs against the stand-in service, through a recording host.

#include "platform/AtomicFile.h"
#include "platform/Gunzip.h"
#include "tests/download/DownloadSupport.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <unistd.h>

namespace elsetry::test {
namespace {

const TLines SessionStart{"clear", "status Connecting to Space-Track", "log Connecting to Space-Track",
                          "status Logging into Space-Track Web site", "log Logging into Space-Track"};
const TLines SessionEnd{"status Logged out of Space-Track Web site", "log Logged out of Space-Track"};

TLines Sequence(std::initializer_list<TLines> Parts)
{
    TLines all;
    for (const TLines& part : Parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

TLines Saved(const std::string& FileName, int Count)
{
    return {"status Getting " + FileName, "log    Saved: " + FileName, "status Checking " + FileName,
            "log       " + std::to_string(Count) + " satellites"};
}

std::string FailedLine(const std::string& FileName, const std::string& Reason,
                       const std::string& Kept = "the earlier file is kept")
{
    return "   Failed: " + FileName + " (" + Reason + "), " + Kept;
}

TEST(DownloadRun, FetchesTheChosenGroupsInTableOrderThenTheListAndLogsOut)
{
    TDownloadWorld world;
    const TLines full = Catalogue(30);
    world.ServeGroup(2, full);
    world.ServeGroup(8, TLines(full.begin(), full.begin() + 12));
    world.ServeGroup(20, TLines(full.begin() + 12, full.begin() + 18));
    world.Choose(8, "Weather.txt");
    world.Choose(2, "FullCatalog.txt");
    world.Host.Inputs.Groups[RowOf(20)] = {false, "Amateur.txt"};
    world.Host.Inputs.Favourites = {full[4].substr(2, 5), full[1].substr(2, 5)};
    world.Host.Inputs.FavouritesFileName = "MyFavourites.txt";

    EXPECT_EQ(world.Run(), TDownloadOutcome::Completed);

    EXPECT_EQ(world.Host.Events, Sequence({SessionStart, {"log Logged into Space-Track"}, Saved("FullCatalog.txt", 30),
                                           Saved("Weather.txt", 4), Saved("MyFavourites.txt", 2), SessionEnd}));
    EXPECT_EQ(ReadWholeFile(world.Saved("FullCatalog.txt")), CrLfText(full));
    EXPECT_EQ(ReadWholeFile(world.Saved("MyFavourites.txt")), CrLfText(TLines(full.begin(), full.begin() + 6)));
    EXPECT_FALSE(FileExists(world.Saved("Amateur.txt")));
    EXPECT_TRUE(std::filesystem::is_empty(world.Temp)) << "the temporary file is deleted after reading";
}

TEST(DownloadRun, MissingHistoricFileIsNamedOnceEachRun)
{
    TDownloadWorld world;
    const TLines full = Catalogue(30);
    world.ServeGroup(2, full);
    world.ServeGroup(8, TLines(full.begin(), full.begin() + 12));
    world.Choose(2, "FullCatalog.txt");
    world.Choose(8, "Weather.txt");
    world.Host.Extra = {full[1].substr(2, 5) + "=absent.txt"};
    const std::string missing = "log       Historic file not found: absent.txt";

    for (int run = 1; run <= 2; ++run) {
        SCOPED_TRACE(run);
        world.Host.Events.clear();
        EXPECT_EQ(world.Run(), TDownloadOutcome::Completed);
        EXPECT_EQ(std::count(world.Host.Events.begin(), world.Host.Events.end(), missing), 1);
    }
}

TEST(DownloadRun, PreconditionsEndTheRunBeforeAnythingIsSent)
{
    struct TCase {
        const char* What;
        bool Connected;
        std::string Username;
        std::string Password;
        const char* Message;
    };
    const TCase cases[] = {
        {"no connection", false, "observer", "secret", "Internet connection required."},
        {"no username", true, "", "secret", "Please enter your Space-Track username"},
        {"no password", true, "observer", "", "Please enter your Space-Track password"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.What);
        TDownloadWorld world;
        world.Host.Connected = c.Connected;
        world.Host.Inputs.Username = c.Username;
        world.Host.Inputs.Password = c.Password;
        EXPECT_EQ(world.Run(), TDownloadOutcome::NotStarted);
        EXPECT_EQ(world.Host.Events, (TLines{"clear", std::string("message ") + c.Message}));
        EXPECT_TRUE(world.Service->Requests().empty());
    }
}

TEST(DownloadRun, NothingChosenLogsOnlyTheSession)
{
    TDownloadWorld world;
    world.Host.Inputs.FavouritesFileName = "MyFavourites.txt";
    EXPECT_EQ(world.Run(), TDownloadOutcome::Completed);
    EXPECT_EQ(world.Host.Only("log"), (TLines{"Connecting to Space-Track", "Logging into Space-Track",
                                              "Logged into Space-Track", "Logged out of Space-Track"}));
}

TEST(DownloadRun, RefusedLoginShowsOneMessageFetchesNothingAndStillLogsOut)
{
    for (const bool unattended : {false, true}) {
        SCOPED_TRACE(unattended ? "unattended" : "attended");
        TDownloadWorld world;
        world.ServeGroup(2, Catalogue(3));
        world.Choose(2, "FullCatalog.txt");
        world.Host.Inputs.Password = "wrong";
        world.Host.IsUnattended = unattended;
        const std::string reason = world.Service->Address() + ": the service did not accept the username and password";
        const std::string message =
            "message Error entering username and password, or in logging into the Space-Track Web site\n" + reason;
        const TLines box{unattended ? "closing " + message : message};

        EXPECT_EQ(world.Run(), TDownloadOutcome::LoginRefused);
        EXPECT_EQ(world.Host.Events,
                  Sequence({SessionStart,
                            {"log " + reason},
                            box,
                            {"status Logged out of Space-Track Web site", "log Logged out of Space-Track"},
                            {"status Run ended: the service did not accept the username and password"}}));
        const auto requests = world.Service->Requests();
        ASSERT_EQ(requests.size(), 3U);
        EXPECT_EQ(requests.back().Target, "/perl/logout.pl");
    }
}

TEST(DownloadRun, LoginMarkerIsFoundInAnyLetterCaseButOnlyInSingleQuotes)
{
    const std::pair<const char*, bool> markers[] = {
        {"'REFRESH'", true}, {"'refresh'", true}, {"'ReFresh'", true}, {"REFRESH", false}, {"\"REFRESH\"", false},
    };
    for (const auto& [marker, accepted] : markers) {
        SCOPED_TRACE(marker);
        service::TServiceOptions options;
        options.Faults.LoginMarker = marker;
        TDownloadWorld world(options);
        EXPECT_EQ(world.Run(), accepted ? TDownloadOutcome::Completed : TDownloadOutcome::LoginRefused);
    }
}

TEST(DownloadRun, UnreachableServiceEndsTheRunWithoutLogout)
{
    for (const bool unattended : {false, true}) {
        SCOPED_TRACE(unattended ? "unattended" : "attended");
        TDownloadWorld world;
        const std::string address = "http://127.0.0.1:" + std::to_string(FreeLoopbackPort());
        world.Host.Inputs.SpaceTrackAddress = address;
        world.Host.IsUnattended = unattended;
        const std::string reason = address + ": connection refused";
        const std::string message = "message Error connecting to the Space-Track Web site\n" + reason;
        const TLines box{unattended ? "closing " + message : message};

        EXPECT_EQ(world.Run(), TDownloadOutcome::Unreachable);
        EXPECT_EQ(world.Host.Events, Sequence({{"clear", "status Connecting to Space-Track",
                                                "log Connecting to Space-Track", "log " + reason},
                                               box,
                                               {"status Run ended: connection refused"}}));
    }
}

TEST(DownloadRun, FailedOrDamagedGroupIsLoggedAndCountedKeepsTheEarlierFileAndTheRunGoesOn)
{
    struct TCase {
        const char* What;
        void (*Fault)(service::TServiceFaults&);
        const char* Reason;
    };
    const TCase cases[] = {
        {"error status", [](service::TServiceFaults& F) { F.ErrorGroups = {20}; }, "HTTP 500"},
        {"connection cut halfway", [](service::TServiceFaults& F) { F.CutGroups = {20}; }, "connection cut"},
        {"corrupt gzip", [](service::TServiceFaults& F) { F.CorruptGroups = {20}; }, "damaged gzip data"},
        {"plain text cut halfway",
         [](service::TServiceFaults& F) {
             F.PlainGroups = {20};
             F.CutGroups = {20};
         },
         "connection cut"},
        {"redirected to another service",
         [](service::TServiceFaults& F) { F.RedirectedGroups = {{20, "http://192.0.2.1/perl/dl.pl?ID=20"}}; },
         "redirected to http://192.0.2.1/perl/dl.pl?ID=20 (HTTP 302)"},
    };
    const TLines sets = Catalogue(400);
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.What);
        TDownloadWorld world;
        world.ServeGroup(20, sets);
        world.ServeGroup(4, TLines(sets.begin(), sets.begin() + 3));
        world.Choose(20, "Amateur.txt");
        world.Choose(4, "Geo.txt");
        TDownloadWorld::WriteText(world.Saved("Amateur.txt"), "earlier\r\n");
        service::TServiceFaults faults;
        c.Fault(faults);
        world.Service->SetFaults(faults);

        EXPECT_EQ(world.Run(), TDownloadOutcome::PartlyFailed);
        EXPECT_EQ(ReadWholeFile(world.Saved("Amateur.txt")), "earlier\r\n");
        EXPECT_EQ(ReadWholeFile(world.Saved("Geo.txt")), CrLfText(TLines(sets.begin(), sets.begin() + 3)));
        EXPECT_EQ(world.Host.Events, Sequence({SessionStart,
                                               {"log Logged into Space-Track", "status Getting Amateur.txt",
                                                "log " + FailedLine("Amateur.txt", c.Reason)},
                                               Saved("Geo.txt", 1),
                                               {"status Logged out of Space-Track Web site",
                                                "log Logged out of Space-Track", "log 1 of 2 downloads failed"}}));
        EXPECT_TRUE(std::filesystem::is_empty(world.Temp));
    }
}

TEST(DownloadRun, PlainTextGroupIsSavedLikeACompressedOne)
{
    TDownloadWorld world;
    const TLines sets = Catalogue(5);
    world.ServeGroup(22, sets);
    service::TServiceFaults faults;
    faults.PlainGroups = {22};
    world.Service->SetFaults(faults);
    world.Choose(22, "Visible.txt");
    world.Run();
    EXPECT_EQ(ReadWholeFile(world.Saved("Visible.txt")), CrLfText(sets));
}

TEST(DownloadRun, IndividualListAnswerIsTrimmedToItsSetsOrFailsWhenShort)
{
    const TLines sets = Catalogue(3);
    const std::string number = sets[1].substr(2, 5);
    for (const bool shortAnswer : {false, true}) {
        SCOPED_TRACE(shortAnswer ? "4 lines" : "6 lines");
        TDownloadWorld world;
        world.ServeGroup(2, sets);
        service::TServiceFaults faults;
        faults.ShortQuery = shortAnswer;
        world.Service->SetFaults(faults);
        world.Host.Inputs.Favourites = {number};
        world.Host.Inputs.FavouritesFileName = "MyFavourites.txt";

        if (shortAnswer) {
            EXPECT_EQ(world.Run(), TDownloadOutcome::PartlyFailed);
            EXPECT_FALSE(FileExists(world.Saved("MyFavourites.txt")));
            const TLines log = world.Host.Only("log");
            EXPECT_NE(std::find(log.begin(), log.end(),
                                "   Failed: MyFavourites.txt (not element sets), no file was written"),
                      log.end());
        } else {
            EXPECT_EQ(world.Run(), TDownloadOutcome::Completed);
            EXPECT_EQ(ReadWholeFile(world.Saved("MyFavourites.txt")), CrLfText(TLines(sets.begin(), sets.begin() + 3)));
        }
    }
}

TEST(DownloadRun, CutIndividualListAnswerKeepsTheEarlierFile)
{
    TDownloadWorld world;
    const TLines sets = Catalogue(30);
    world.ServeGroup(2, sets);
    service::TServiceFaults faults;
    faults.CutQuery = true;
    world.Service->SetFaults(faults);
    for (std::size_t set = 0; set < 6; ++set)
        world.Host.Inputs.Favourites.push_back(sets[set * 3 + 1].substr(2, 5));
    world.Host.Inputs.FavouritesFileName = "MyFavourites.txt";
    TDownloadWorld::WriteText(world.Saved("MyFavourites.txt"), "earlier\r\n");

    EXPECT_EQ(world.Run(), TDownloadOutcome::PartlyFailed);
    EXPECT_EQ(ReadWholeFile(world.Saved("MyFavourites.txt")), "earlier\r\n");
    EXPECT_EQ(world.Host.Only("log"),
              (TLines{"Connecting to Space-Track", "Logging into Space-Track", "Logged into Space-Track",
                      FailedLine("MyFavourites.txt", "connection cut"), "Logged out of Space-Track",
                      "1 of 1 downloads failed"}));
}

TEST(DownloadRun, FormsHeadersAndSessionCookieAsTheServiceReceivedThem)
{
    TDownloadWorld world;
    world.Host.Inputs.Username = "o b&s=r\"";
    world.Host.Inputs.Password = "p%+w~";
    world.Service = nullptr;
    world.Options.Username = world.Host.Inputs.Username;
    world.Options.Password = world.Host.Inputs.Password;
    world.Service = std::make_unique<service::TCatalogueService>(world.Options);
    world.Host.Inputs.SpaceTrackAddress = world.Service->Address();
    world.ServeGroup(2, Catalogue(3));
    world.Choose(2, "FullCatalog.txt");
    world.Host.Inputs.Favourites = {"25544", "07"};
    world.Host.Inputs.FavouritesFileName = "MyFavourites.txt";
    world.Run();

    const auto requests = service::ReadRequestLog(world.Options.RecordFile);
    ASSERT_EQ(requests.size(), 5U);
    const std::pair<std::string, std::string> expected[] = {
        {"GET", "/perl/logout.pl"},
        {"POST", "/perl/login.pl"},
        {"GET", "/perl/dl.pl?ID=2"},
        {"POST", "/perl/id_query.pl"},
        {"GET", "/perl/logout.pl"},
    };
    const std::string session = std::string(service::SessionCookieName) + "=" + world.Service->IssuedSessions().at(0);
    for (std::size_t i = 0; i < requests.size(); ++i) {
        SCOPED_TRACE(requests[i].Target);
        EXPECT_EQ(requests[i].Method, expected[i].first);
        EXPECT_EQ(requests[i].Target, expected[i].second);
        EXPECT_EQ(requests[i].Header("Accept"), "text/html, */*");
        EXPECT_EQ(requests[i].Header("User-Agent"), "Mozilla/3.0 (compatible; Indy Library)");
        EXPECT_FALSE(requests[i].HasHeader("Authorization"));
        EXPECT_EQ(requests[i].Header("Cookie"), i >= 2 && i <= 4 ? session : "");
        if (requests[i].Method == "POST") {
            EXPECT_EQ(requests[i].Header("Content-Type"), "application/x-www-form-urlencoded");
        }
    }
    EXPECT_EQ(requests[1].Body, "username=o%20b%26s%3Dr%22&password=p%25%2Bw~&_submitted=1&_sessionid=&_submit=Submit");
    EXPECT_EQ(requests[3].Body, "_submitted=%221%22&_sessionid=&ids=25544%2007&timeframe=latest&common_name=yes"
                                "&sort=catnum&ascii=yes&_submit=Submit");
}

// The reachability request of the second run waits longer than a group's time-out and a fresh
// session's, within the time-out the individual list left. The client notices a time-out up to
// a second late, hence the margins.
TEST(DownloadRun, ReadTimeOutOfTheListCarriesIntoTheNextRun)
{
    TDownloadWorld world({}, {.FirstMs = 1000, .GroupMs = 1000, .QueryMs = 3500});
    const TLines sets = Catalogue(3);
    world.ServeGroup(2, sets);
    world.Host.Inputs.Favourites = {sets[1].substr(2, 5)};
    world.Host.Inputs.FavouritesFileName = "MyFavourites.txt";
    world.Run();
    service::TServiceFaults faults;
    faults.DelayedLogouts = 1;
    faults.LogoutDelay = std::chrono::milliseconds(2500);
    world.Service->SetFaults(faults);
    EXPECT_EQ(world.Run(), TDownloadOutcome::Completed);
}

TEST(DownloadRun, GroupThatStallsPastTheReadTimeOutSavesNothing)
{
    TDownloadWorld world({}, {.GroupMs = 1000});
    const TLines sets = Catalogue(400);
    world.ServeGroup(2, sets);
    world.ServeGroup(4, TLines(sets.begin(), sets.begin() + 3));
    world.Choose(2, "FullCatalog.txt");
    world.Choose(4, "Geo.txt");
    TDownloadWorld::WriteText(world.Saved("FullCatalog.txt"), "earlier\r\n");
    service::TServiceFaults faults;
    faults.StalledGroups = {2};
    // Plain text, so that the half that arrived would read as sets.
    faults.PlainGroups = {2};
    faults.StallTime = std::chrono::milliseconds(3000);
    world.Service->SetFaults(faults);

    EXPECT_EQ(world.Run(), TDownloadOutcome::PartlyFailed);
    EXPECT_EQ(ReadWholeFile(world.Saved("FullCatalog.txt")), "earlier\r\n");
    EXPECT_TRUE(FileExists(world.Saved("Geo.txt")));
    EXPECT_EQ(world.Host.Only("log").at(3), FailedLine("FullCatalog.txt", "timed out after 1 s"));
}

// The body trickles in, so the read time-out never fires; the low-speed limit or the time limit
// of a request does, each shortened here.
TEST(DownloadRun, TricklingGroupFailsOnTheRequestLimitsAndTheRunGoesOn)
{
    struct TCase {
        const char* What;
        TDownloadTimeouts Timeouts;
        std::size_t Piece;
        const char* Reason;
    };
    const TCase cases[] = {
        {"a few bytes now and then", {.LowSpeedBytes = 1024, .LowSpeedSeconds = 1}, 8, "too slow"},
        {"fast enough, but too long in all", {.RequestMs = 1000}, 2048, "took too long"},
    };
    const TLines sets = Catalogue(400);
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.What);
        TDownloadWorld world({}, c.Timeouts);
        world.ServeGroup(2, sets);
        world.ServeGroup(4, TLines(sets.begin(), sets.begin() + 3));
        world.Choose(2, "FullCatalog.txt");
        world.Choose(4, "Geo.txt");
        TDownloadWorld::WriteText(world.Saved("FullCatalog.txt"), "earlier\r\n");
        service::TServiceFaults faults;
        faults.TrickledGroups = {2};
        faults.PlainGroups = {2};
        faults.TrickleBytes = c.Piece;
        faults.TricklePause = std::chrono::milliseconds(100);
        world.Service->SetFaults(faults);

        EXPECT_EQ(world.Run(), TDownloadOutcome::PartlyFailed);
        EXPECT_EQ(ReadWholeFile(world.Saved("FullCatalog.txt")), "earlier\r\n");
        EXPECT_EQ(ReadWholeFile(world.Saved("Geo.txt")), CrLfText(TLines(sets.begin(), sets.begin() + 3)));
        const TLines log = world.Host.Only("log");
        EXPECT_EQ(log.at(3), FailedLine("FullCatalog.txt", c.Reason));
        EXPECT_EQ(log.back(), "1 of 2 downloads failed");
        EXPECT_TRUE(std::filesystem::is_empty(world.Temp));
    }
}

// A group that trickles on past the run deadline is cut off; the downloads after it are not
// sent, the logout still is, and every file stays as it was.
TEST(DownloadRun, RunDeadlineCutsTheRunShortAndLogsOut)
{
    TDownloadWorld world;
    const TLines sets = Catalogue(400);
    world.ServeGroup(2, sets);
    world.ServeGroup(4, TLines(sets.begin(), sets.begin() + 3));
    world.Choose(2, "FullCatalog.txt");
    world.Choose(4, "Geo.txt");
    world.Host.Inputs.Favourites = {sets[1].substr(2, 5)};
    world.Host.Inputs.FavouritesFileName = "MyFavourites.txt";
    for (const char* name : {"FullCatalog.txt", "Geo.txt", "MyFavourites.txt"})
        TDownloadWorld::WriteText(world.Saved(name), std::string("earlier ") + name + "\r\n");
    service::TServiceFaults faults;
    faults.TrickledGroups = {2};
    faults.PlainGroups = {2};
    faults.TrickleBytes = 2048;
    faults.TricklePause = std::chrono::milliseconds(100);
    world.Service->SetFaults(faults);

    EXPECT_EQ(world.Session.RunDownload(world.Host, world.Host.Request(std::chrono::milliseconds(1500))),
              TDownloadOutcome::DeadlinePassed);
    EXPECT_EQ(world.Host.Only("log"),
              (TLines{"Connecting to Space-Track", "Logging into Space-Track", "Logged into Space-Track",
                      "Run deadline passed, the remaining downloads are skipped",
                      FailedLine("FullCatalog.txt", "run deadline passed"), FailedLine("Geo.txt", "run deadline passed"),
                      FailedLine("MyFavourites.txt", "run deadline passed"), "Logged out of Space-Track",
                      "3 of 3 downloads failed"}));
    for (const char* name : {"FullCatalog.txt", "Geo.txt", "MyFavourites.txt"})
        EXPECT_EQ(ReadWholeFile(world.Saved(name)), std::string("earlier ") + name + "\r\n");
    const auto requests = world.Service->Requests();
    ASSERT_EQ(requests.size(), 4U);
    EXPECT_EQ(requests[2].Target, "/perl/dl.pl?ID=2");
    EXPECT_EQ(requests[3].Target, "/perl/logout.pl");
    EXPECT_TRUE(std::filesystem::is_empty(world.Temp));
}

TEST(DownloadRun, RunThatEndsBeforeItsDeadlineCompletes)
{
    TDownloadWorld world;
    world.ServeGroup(2, Catalogue(3));
    world.Choose(2, "FullCatalog.txt");
    EXPECT_EQ(world.Session.RunDownload(world.Host, world.Host.Request(std::chrono::minutes(30))),
              TDownloadOutcome::Completed);
    EXPECT_EQ(ReadWholeFile(world.Saved("FullCatalog.txt")), CrLfText(Catalogue(3)));
}

TEST(DownloadRun, FailedLogoutIsLoggedAndLeavesTheOutcome)
{
    TDownloadWorld world;
    world.ServeGroup(2, Catalogue(3));
    world.Choose(2, "FullCatalog.txt");
    service::TServiceFaults faults;
    faults.ErrorLogouts = {2};
    world.Service->SetFaults(faults);

    EXPECT_EQ(world.Run(), TDownloadOutcome::Completed);
    EXPECT_EQ(world.Host.Only("log").back(), "Logout failed: HTTP 500");
    EXPECT_EQ(world.Host.Only("status").back(), "Checking FullCatalog.txt");
    EXPECT_EQ(ReadWholeFile(world.Saved("FullCatalog.txt")), CrLfText(Catalogue(3)));
}

// A logout that does not answer costs its own allowance, not the longer read time-out the
// individual list left; the next run still has that one.
TEST(DownloadRun, LogoutKeepsItsOwnAllowance)
{
    TDownloadWorld world({}, {.QueryMs = 4000, .LogoutMs = 1000});
    const TLines sets = Catalogue(3);
    world.ServeGroup(2, sets);
    world.Host.Inputs.Favourites = {sets[1].substr(2, 5)};
    world.Host.Inputs.FavouritesFileName = "MyFavourites.txt";
    service::TServiceFaults faults;
    faults.DelayedLogouts = 3; // the probe, the logout, the next run's probe
    faults.LogoutDelay = std::chrono::milliseconds(2500);
    world.Service->SetFaults(faults);

    EXPECT_EQ(world.Run(), TDownloadOutcome::Completed);
    // Its read time-out and its whole time are both 1 s: which one ends it depends on the machine's load.
    const std::string last = world.Host.Only("log").back();
    EXPECT_TRUE(last == "Logout failed: took too long" || last == "Logout failed: timed out after 1 s") << last;
    EXPECT_EQ(world.Session.Client().ReadTimeout(), 4000);
}

// Every request would reach the stand-in, which plays the proxy here: it must see none.
TEST(DownloadRun, PasswordIsNotSentUnencryptedOffThisMachine)
{
    struct TCase {
        std::string Address;
        std::string Proxy;
    };
    TDownloadWorld world;
    const std::string standIn = "127.0.0.1";
    const TCase cases[] = {
        {"http://www.space-track.org", standIn},
        {"HTTP://10.0.0.7:8080", standIn},
        {"http://localhost.example.org", standIn},
        {"http://127.0.0.1.example.org", standIn},
        {"www.space-track.org", standIn},
        {"ftp://127.0.0.1", standIn},
        {world.Service->Address(), "proxy.example.org"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Address + " through " + c.Proxy);
        world.Host.Events.clear();
        world.Host.Inputs.SpaceTrackAddress = c.Address;
        world.Host.Inputs.ProxyServer = c.Proxy;
        world.Host.Inputs.ProxyPort = std::to_string(world.Service->Port());
        EXPECT_EQ(world.Run(), TDownloadOutcome::NotStarted);
        EXPECT_EQ(world.Host.Events, (TLines{"clear", std::string("message ") + InsecureAddressText}));
        EXPECT_TRUE(world.Service->Requests().empty());
    }
}

// Two small groups served and chosen, the first under FirstName.
void ChooseTwoGroups(TDownloadWorld& World, const std::string& FirstName = "FullCatalog.txt")
{
    World.ServeGroup(2, Catalogue(3));
    World.ServeGroup(4, Catalogue(3));
    World.Choose(2, FirstName);
    World.Choose(4, "Geo.txt");
}

TEST(DownloadRun, MissingTemporaryFolderEndsTheRunWithItsOwnText)
{
    TDownloadWorld world;
    ChooseTwoGroups(world);
    std::filesystem::remove(world.Temp);

    EXPECT_EQ(world.Run(), TDownloadOutcome::FailedMidway);
    const TLines errors = world.Host.Only("error");
    ASSERT_EQ(errors.size(), 1U);
    EXPECT_NE(errors[0].find("/"), std::string::npos) << errors[0];
    const auto& requests = world.Service->Requests();
    ASSERT_GE(requests.size(), 2U);
    EXPECT_EQ(requests[requests.size() - 2].Target, "/perl/login.pl") << "no group";
    EXPECT_EQ(requests.back().Target, "/perl/logout.pl") << "the session is closed all the same";
}

TEST(DownloadRun, FoldersAreCheckedBeforeAnythingIsSent)
{
    const std::string folderQuestion = "ask Create folder: The folder to save group data to ";
    struct TCase {
        const char* What;
        std::string Kepler; // below the root; "<cwd>" for the current directory
        bool Unattended;
        bool Answer;
        bool Asks;
        TDownloadOutcome Outcome;
        std::string Event; // the event that says why, with the root written as "@"
    } const cases[] = {
        {"missing, declined", "/new/keps/", false, false, true, TDownloadOutcome::NotStarted,
         folderQuestion + "@/new/keps/ does not exist. Create it?"},
        {"missing, accepted", "/new/keps/", false, true, true, TDownloadOutcome::Completed,
         "log Created folder @/new/keps/"},
        {"missing, unattended", "/new/keps/", true, false, false, TDownloadOutcome::Completed,
         "log Created folder @/new/keps/"},
        {"below the program's own folder", "/home/.local/share/elsetry/keps/", false, false, false,
         TDownloadOutcome::Completed, "log Created folder @/home/.local/share/elsetry/keps/"},
        {"not set", "", true, true, false, TDownloadOutcome::NotStarted,
         "message The folder to save group data to is not set: choose a folder on the Setup page"},
        {"the current directory", "<cwd>", true, true, false, TDownloadOutcome::NotStarted,
         "message The folder to save group data to @/keps/ is the current directory: choose a folder on the Setup "
         "page"},
        {"a file", "/file/", true, true, false, TDownloadOutcome::NotStarted,
         "message The folder to save group data to @/file/ is not a folder"},
    };
    const std::filesystem::path before = std::filesystem::current_path();
    const char* ownHome = std::getenv("HOME");
    const std::string savedHome = ownHome ? ownHome : "";
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.What);
        TDownloadWorld world;
        ChooseTwoGroups(world);
        ::setenv("HOME", (world.Root.Path + "/home").c_str(), 1);
        TDownloadWorld::WriteText(world.Root.Path + "/file", "");
        world.Host.IsUnattended = c.Unattended;
        world.Host.Answer = c.Answer;
        if (c.Kepler == "<cwd>") {
            std::filesystem::current_path(world.Root.Path + "/keps");
            world.Host.Kepler = world.Root.Path + "/keps/";
        } else {
            world.Host.Kepler = c.Kepler.empty() ? "" : world.Root.Path + c.Kepler;
        }
        const std::size_t sent = world.Service->Requests().size();

        EXPECT_EQ(world.Run(), c.Outcome);
        std::filesystem::current_path(before);
        std::string expected = c.Event;
        if (const std::size_t at = expected.find('@'); at != std::string::npos)
            expected.replace(at, 1, world.Root.Path);
        EXPECT_EQ(std::count(world.Host.Events.begin(), world.Host.Events.end(), expected), 1);
        EXPECT_EQ(world.Host.Only("ask").size(), c.Asks ? 1U : 0U);
        if (c.Outcome == TDownloadOutcome::NotStarted)
            EXPECT_EQ(world.Service->Requests().size(), sent) << "nothing is sent";
        else
            EXPECT_TRUE(FileExists(world.Host.Kepler + "FullCatalog.txt"));
    }
    if (ownHome)
        ::setenv("HOME", savedHome.c_str(), 1);
    else
        ::unsetenv("HOME");
}

TEST(DownloadRun, HistoricFolderIsCheckedOnlyWhenHistoricFilesAreWanted)
{
    for (const bool wanted : {false, true}) {
        SCOPED_TRACE(wanted);
        TDownloadWorld world;
        ChooseTwoGroups(world);
        world.Host.Historic = world.Root.Path + "/none/";
        if (wanted)
            world.Host.Extra = {"25544=ISS.txt"};
        EXPECT_EQ(world.Run(), wanted ? TDownloadOutcome::NotStarted : TDownloadOutcome::Completed);
        EXPECT_EQ(world.Host.Only("ask"), wanted ? TLines{"Create folder: The folder to save historic Kepler data to "
                                                          + world.Root.Path + "/none/ does not exist. Create it?"}
                                                 : TLines{});
    }
}

// A name from a shared settings file that leaves the group folder writes nothing anywhere.
TEST(DownloadRun, NameThatLeavesTheFolderFailsThatGroupOnly)
{
    TDownloadWorld world;
    ChooseTwoGroups(world, "../outside.txt");

    EXPECT_EQ(world.Run(), TDownloadOutcome::PartlyFailed);
    const TLines log = world.Host.Only("log");
    EXPECT_NE(
        std::find(log.begin(), log.end(), FailedLine("../outside.txt", "not a plain file name", "no file was written")),
        log.end());
    EXPECT_FALSE(std::filesystem::exists(world.Root.Path + "/outside.txt"));
    EXPECT_TRUE(std::filesystem::exists(world.Saved("Geo.txt")));
    for (const auto& request : world.Service->Requests())
        EXPECT_NE(request.Target, "/perl/dl.pl?ID=2") << "refused before it is asked for";
}

// A checked group whose name was left empty is a download that cannot be saved, not one to skip.
TEST(DownloadRun, CheckedGroupWithoutANameFails)
{
    TDownloadWorld world;
    ChooseTwoGroups(world, "");
    EXPECT_EQ(world.Run(), TDownloadOutcome::PartlyFailed);
    const TLines log = world.Host.Only("log");
    EXPECT_NE(std::find(log.begin(), log.end(), FailedLine("", "not a plain file name", "no file was written")),
              log.end());
    EXPECT_TRUE(std::filesystem::exists(world.Saved("Geo.txt")));
}

TEST(DownloadRun, TooLongTemporaryPathShowsTheGzipMessageAndTheGroupYieldsNothing)
{
    TDownloadWorld world;
    std::string folder = world.Root.Path;
    while (folder.size() <= MaxGzipPathLength)
        folder += "/" + std::string(60, 't');
    std::filesystem::create_directories(folder);
    TDownloadSession session(folder);
    world.ServeGroup(2, Catalogue(3));
    world.Choose(2, "FullCatalog.txt");

    EXPECT_EQ(session.RunDownload(world.Host, world.Host.Request()), TDownloadOutcome::PartlyFailed);
    EXPECT_EQ(world.Host.Only("message"), TLines{"Unable to GZip this file: path name is too long"});
    EXPECT_EQ(world.Host.Only("log").at(3),
              FailedLine("FullCatalog.txt", "temporary path too long", "no file was written"));
    EXPECT_FALSE(FileExists(world.Saved("FullCatalog.txt")));
    EXPECT_TRUE(std::filesystem::is_empty(folder));
}

TEST(DownloadRun, CertificateOfTheServiceIsVerified)
{
    TTempFolder keys;
    const std::string certificate = keys.Path + "/cert.pem";
    service::MakeTestCertificate(certificate, keys.Path + "/key.pem");
    service::TServiceOptions options;
    options.CertificateFile = certificate;
    options.KeyFile = keys.Path + "/key.pem";
    for (const bool trusted : {true, false}) {
        SCOPED_TRACE(trusted ? "trusted" : "untrusted");
        TDownloadWorld world(options);
        world.ServeGroup(2, Catalogue(3));
        world.Choose(2, "FullCatalog.txt");
        if (trusted)
            world.Session.Client().SetCertificateAuthorities(certificate);

        EXPECT_EQ(world.Run(), trusted ? TDownloadOutcome::Completed : TDownloadOutcome::Unreachable);
        EXPECT_EQ(FileExists(world.Saved("FullCatalog.txt")), trusted);
        EXPECT_EQ(world.Service->Requests().size(), trusted ? 4U : 0U);
    }
}

} // namespace
} // namespace elsetry::test
