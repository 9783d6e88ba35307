// Whole runs against the stand-in's query API: the requests a run sends, what it saves, and how it
// meets a refused login, a lapsed session, the service's rate-limit answers and its own limits.

#include "download/sources/SpaceTrackApiSource.h"
#include "elements/OmmRecord.h"
#include "elements/SatelliteList.h"
#include "settings/CommaText.h"
#include "settings/RegistryVariables.h"
#include "platform/AtomicFile.h"
#include "tests/download/DownloadSupport.h"
#include "tests/download/RecordingHost.h"
#include "tests/support/FakeClock.h"
#include "tests/support/StoreFixture.h"
#include "tools/catalogue-service/OmmFields.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <ctime>

namespace elsetry::test {
namespace {

constexpr const char* FullQuery =
    "GET /basicspacedata/query/class/gp/decay_date/null-val/epoch/>now-30/orderby/norad_cat_id asc/format/3le";

class ApiRun : public StoreTest {
protected:
    void SetUp() override
    {
        StoreTest::SetUp();
        Clock.Step = std::chrono::milliseconds(50);
        service::TServiceOptions options;
        options.CelesTrakGroups = true;
        World = std::make_unique<TDownloadWorld>(options, TDownloadTimeouts{}, [this](const TDownloadInputs& Inputs) {
            return std::make_unique<TSpaceTrackApiSource>(Inputs.SpaceTrackAddress, Inputs.CelesTrakAddress, Clock,
                                                          Rules, StoreFile);
        });
        World->Host.Inputs.Source = std::string(SpaceTrackApiSource);
        World->Host.Inputs.CelesTrakAddress = World->Service->Address();
        service::WriteDemoGroups(World->Data, 1500);
    }

    void ChooseEveryGroup()
    {
        for (const TSpaceTrackGroup& group : SpaceTrackGroups)
            World->Choose(group.Id, std::string(group.FileNameSetting) + ".txt");
    }

    // "METHOD readable target" of every request since the last call.
    TLines Requests()
    {
        TLines requests;
        for (const service::TRecordedRequest& request : World->Service->Requests()) {
            requests.push_back(request.Method + " " + request.ReadableTarget());
            if (request.Method == "POST")
                LoginBody = request.Body;
        }
        World->Service->ClearRequests();
        return requests;
    }

    TLines Log() const { return World->Host.Only("log"); }
    bool Logged(const std::string& Line) const
    {
        const TLines log = Log();
        return std::find(log.begin(), log.end(), Line) != log.end();
    }

    TFakeClock Clock;
    TUsageRules Rules;
    std::string LoginBody; // of the last login Requests() saw
    std::unique_ptr<TDownloadWorld> World;
};

std::size_t CountStarting(const TLines& Lines, const std::string& Start)
{
    return static_cast<std::size_t>(
        std::count_if(Lines.begin(), Lines.end(), [&](const std::string& Line) { return Line.starts_with(Start); }));
}

TEST_F(ApiRun, SavesEveryGroupAndTheListThroughTheQueryApi)
{
    ChooseEveryGroup();
    for (int number = 40001; number <= 40250; ++number)
        World->Host.Inputs.Favourites.push_back(std::to_string(number));
    World->Host.Inputs.FavouritesFileName = "MyFavourites.txt";

    EXPECT_EQ(World->Run(), TDownloadOutcome::Completed) << ::testing::PrintToString(Log());

    const TLines requests = Requests();
    ASSERT_GE(requests.size(), 4u);
    EXPECT_EQ(requests.front(), "GET /ajaxauth/logout");
    EXPECT_EQ(requests[1], "POST /ajaxauth/login");
    EXPECT_EQ(requests.back(), "GET /ajaxauth/logout");
    EXPECT_EQ(LoginBody, "identity=observer&password=secret");
    EXPECT_EQ(CountStarting(requests, FullQuery), 1u);
    EXPECT_EQ(CountStarting(requests, "GET /basicspacedata/query/class/gp/MEAN_MOTION/0.99--1.01/ECCENTRICITY/<0.01/"
                                      "OBJECT_TYPE/payload/decay_date/null-val/orderby/norad_cat_id asc/format/3le"),
              1u);
    for (const char* name : {"GLOBALSTAR", "INMARSAT", "INTELSAT", "IRIDIUM", "ORBCOMM", "VESSELSAT"})
        EXPECT_EQ(CountStarting(requests, std::string("GET /basicspacedata/query/class/gp/OBJECT_TYPE/payload/"
                                                      "OBJECT_NAME/~~")
                                              + name + "/decay_date/null-val/"),
                  1u)
            << name;
    for (const char* group : {"amateur", "gnss", "last-30-days", "weather", "visual"})
        EXPECT_EQ(CountStarting(requests, std::string("GET /NORAD/elements/gp.php?GROUP=") + group + "&FORMAT=csv"), 1u)
            << group;
    // Five memberships and the list's 250 numbers, at most 200 a query.
    const std::string byNumber = "GET /basicspacedata/query/class/gp/NORAD_CAT_ID/";
    EXPECT_EQ(CountStarting(requests, byNumber), 5u + 2u);
    for (const std::string& request : requests) {
        if (request.starts_with(byNumber)) {
            EXPECT_LE(std::count(request.begin(), request.end(), ','), 199) << request;
        }
    }

    for (const TSpaceTrackGroup& group : SpaceTrackGroups) {
        const std::string file = World->Saved(std::string(group.FileNameSetting) + ".txt");
        TSatelliteList list;
        EXPECT_GT(list.LoadFromFile(file), 0) << file;
        EXPECT_EQ(ReadWholeFile(file).find("\n0 "), std::string::npos) << file;
    }
    TSatelliteList weather;
    weather.LoadFromFile(World->Saved("NameWeather.txt"));
    EXPECT_EQ(weather.Count(), 80);
    TSatelliteList favourites;
    EXPECT_EQ(favourites.LoadFromFile(World->Saved("MyFavourites.txt")), 250);
}

TEST_F(ApiRun, EscapesWhatTheUrlCannotCarry)
{
    World->Choose(2, "full.txt");
    World->Run();
    const std::vector<service::TRecordedRequest> requests = World->Service->Requests();
    const auto full = std::find_if(requests.begin(), requests.end(), [](const service::TRecordedRequest& Request) {
        return Request.Target.find("epoch") != std::string::npos;
    });
    ASSERT_NE(full, requests.end());
    EXPECT_EQ(full->Target,
              "/basicspacedata/query/class/gp/decay_date/null-val/epoch/%3Enow-30/orderby/norad_cat_id%20asc/format/3le");
}

// A file written as CSV or JSON asks for that format and keeps the answer's text, objects past what
// element lines hold included; its lines, which the check and the historic files read, are the
// lines of the 3le answer.
TEST_F(ApiRun, CsvAndJsonFilesAskForTheirFormatAndGiveTheLinesOf3le)
{
    const TLines letters = LetterFormCatalogue();
    World->ServeGroup(99, letters);
    TOmmRecord far = service::OmmRecordOf("FAR GEO", letters[1], letters[2]);
    far.NoradCatId = "800000123";
    far.MeanMotion = "1.00270000";
    far.Eccentricity = ".0001000";
    TDownloadWorld::WriteText(World->Data + "/4.csv", service::OmmCsv({far}));
    THttpClient http;
    TKepTempFile temp(World->Temp);
    const TRunDeadline deadline;
    TRunChannel channel(http, temp, deadline, 60000);
    TSpaceTrackApiSource source(World->Service->Address(), World->Service->Address(), Clock, Rules, StoreFile);
    ASSERT_TRUE(source.LogIn(channel, World->Options.Username, World->Options.Password));
    TLines list;
    for (int number = 148400; number <= 148650; ++number)
        list.push_back(std::to_string(number));
    const TSpaceTrackGroup& geo = SpaceTrackGroups[RowOf(4)];
    const TSourceAnswer geoLines = source.GroupAnswer(channel, geo, TFileForm::ThreeLine);
    const TSourceAnswer listLines = source.IndividualListAnswer(channel, list, TFileForm::ThreeLine);
    ASSERT_EQ(listLines.Outcome, TAnswerOutcome::Lines);
    ASSERT_GT(listLines.Lines.size(), 3u);
    ASSERT_GT(geoLines.Lines.size(), 3u);

    struct TCase {
        TFileForm Form;
        std::string Format;
        TOmmKind Kind;
    };
    const TCase cases[] = {{TFileForm::TwoLine, "3le", TOmmKind::None},
                           {TFileForm::Csv, "csv", TOmmKind::Csv},
                           {TFileForm::Json, "json", TOmmKind::Json}};
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Format);
        Requests();
        const TSourceAnswer group = source.GroupAnswer(channel, geo, c.Form);
        const TSourceAnswer numbers = source.IndividualListAnswer(channel, list, c.Form);
        const TLines requests = Requests();
        ASSERT_EQ(requests.size(), 3u);
        for (const std::string& request : requests)
            EXPECT_TRUE(request.ends_with("/orderby/norad_cat_id asc/format/" + c.Format)) << request;
        EXPECT_EQ(group.Lines, geoLines.Lines);
        EXPECT_EQ(numbers.Lines, listLines.Lines);
        EXPECT_EQ(group.OmmKind, c.Kind);
        EXPECT_EQ(numbers.OmmKind, c.Kind);
        // The list's two answers as one text of their kind, each set once.
        if (c.Kind != TOmmKind::None) {
            const auto records = c.Kind == TOmmKind::Csv ? ReadOmmCsv(numbers.OmmText) : ReadOmmJson(numbers.OmmText);
            EXPECT_EQ(records.size(), numbers.Lines.size() / 3);
        }
        EXPECT_EQ(group.OmmText.find("800000123") != std::string::npos, c.Kind != TOmmKind::None);
        EXPECT_EQ(numbers.OmmText.empty(), c.Kind == TOmmKind::None);
    }
}

TEST_F(ApiRun, RefusedLoginIsReportedAsTheFormExchangeReportsIt)
{
    World->Host.Inputs.Password = "wrong";
    World->Choose(8, "weather.txt");

    EXPECT_EQ(World->Run(), TDownloadOutcome::LoginRefused);

    const std::string reason =
        World->Host.Inputs.SpaceTrackAddress + ": the service did not accept the username and password";
    EXPECT_EQ(Log(), (TLines{"Connecting to Space-Track", "Logging into Space-Track", reason, "Logged out of Space-Track"}));
    EXPECT_EQ(World->Host.Only("message"),
              TLines{"Error entering username and password, or in logging into the Space-Track Web site\n" + reason});
    EXPECT_EQ(Requests(), (TLines{"GET /ajaxauth/logout", "POST /ajaxauth/login", "GET /ajaxauth/logout"}));
    EXPECT_FALSE(std::filesystem::exists(World->Saved("weather.txt")));
}

TEST_F(ApiRun, RateLimitAnswerStopsTheRunAndSavesNothingMore)
{
    for (const service::TRateLimitAnswer answer : {service::TRateLimitAnswer::ServerError,
                                                   service::TRateLimitAnswer::ErrorList}) {
        service::TServiceFaults faults;
        faults.RateLimit = answer;
        World->Service->SetFaults(faults);
        World->Choose(4, "geo.txt");
        World->Choose(14, "globalstar.txt");

        EXPECT_EQ(World->Run(), TDownloadOutcome::Stopped);

        EXPECT_TRUE(Logged("Stopped: Space-Track says its query rate limit was passed; the run stops here and "
                           "nothing more is asked for"))
            << ::testing::PrintToString(Log());
        EXPECT_TRUE(Logged("   Failed: geo.txt (Space-Track's query rate limit was passed), no file was written"));
        EXPECT_EQ(Log().back(), "2 of 2 downloads failed");
        EXPECT_EQ(World->Host.Summary.back(), "   globalstar.txt: not fetched (run stopped), no file was written");
        const TLines requests = Requests();
        EXPECT_EQ(CountStarting(requests, "GET /basicspacedata/"), 1u) << ::testing::PrintToString(requests);
        EXPECT_EQ(requests.back(), "GET /ajaxauth/logout");
        EXPECT_FALSE(std::filesystem::exists(World->Saved("geo.txt")));
        EXPECT_FALSE(std::filesystem::exists(World->Saved("globalstar.txt")));
    }
}

TEST_F(ApiRun, LapsedSessionLogsInOnceMoreAndGoesOn)
{
    service::TServiceFaults faults;
    faults.SessionQueries = 1;
    World->Service->SetFaults(faults);
    for (const int group : {4, 14, 10})
        World->Choose(group, std::to_string(group) + ".txt");

    EXPECT_EQ(World->Run(), TDownloadOutcome::Completed) << ::testing::PrintToString(Log());

    const TLines requests = Requests();
    EXPECT_EQ(CountStarting(requests, "POST /ajaxauth/login"), 3u);
    EXPECT_EQ(CountStarting(requests, "GET /basicspacedata/"), 5u);
    EXPECT_EQ(CountStarting(Log(), "   Space-Track session lapsed"), 2u);
    for (const int group : {4, 14, 10})
        EXPECT_TRUE(std::filesystem::exists(World->Saved(std::to_string(group) + ".txt")));
}

TEST_F(ApiRun, FullCatalogueIsAskedForAtMostOnceAnHour)
{
    World->Choose(2, "full.txt");
    ASSERT_EQ(World->Run(), TDownloadOutcome::Completed);
    ASSERT_EQ(CountStarting(Requests(), FullQuery), 1u);
    const std::string first = ReadWholeFile(World->Saved("full.txt"));

    Clock.Advance(std::chrono::minutes(59));
    EXPECT_EQ(World->Run(), TDownloadOutcome::Completed);
    EXPECT_EQ(CountStarting(Requests(), FullQuery), 0u);
    EXPECT_EQ(CountStarting(Log(), "   Skipped: full.txt (Space-Track asks for the full catalogue at most once an "
                                   "hour; last fetched "),
              1u)
        << ::testing::PrintToString(Log());
    EXPECT_EQ(ReadWholeFile(World->Saved("full.txt")), first);

    Clock.Advance(std::chrono::minutes(2));
    EXPECT_EQ(World->Run(), TDownloadOutcome::Completed);
    EXPECT_EQ(CountStarting(Requests(), FullQuery), 1u);
}

TEST_F(ApiRun, MembershipThatCannotBeReadFailsOnlyItsGroup)
{
    World->Host.Inputs.CelesTrakAddress = "http://127.0.0.1:" + std::to_string(FreeLoopbackPort());
    World->Choose(8, "weather.txt");
    World->Choose(4, "geo.txt");

    EXPECT_EQ(World->Run(), TDownloadOutcome::PartlyFailed);

    EXPECT_EQ(CountStarting(Log(), "   Failed: weather.txt ("), 1u) << ::testing::PrintToString(Log());
    EXPECT_FALSE(std::filesystem::exists(World->Saved("weather.txt")));
    EXPECT_TRUE(std::filesystem::exists(World->Saved("geo.txt")));
}

TEST_F(ApiRun, LetterFormNumbersRoundTripThroughListCheckAndHistoricFiles)
{
    const TLines sets = LetterFormCatalogue();
    ASSERT_EQ(sets[14 * 3 + 1].substr(2, 5), "E8493");
    World->ServeGroup(99, sets);
    World->Host.Inputs.Favourites = {"E8493", "148494"};
    World->Host.Inputs.FavouritesFileName = "MyFavourites.txt";
    std::filesystem::create_directory(World->Host.Historic);
    World->Host.Extra = {"E8493=E8493.txt"};
    TDownloadWorld::WriteText(World->Host.Historic + "E8493.txt", "");

    EXPECT_EQ(World->Run(), TDownloadOutcome::Completed) << ::testing::PrintToString(Log());

    EXPECT_EQ(CountStarting(Requests(), "GET /basicspacedata/query/class/gp/NORAD_CAT_ID/148493,148494/"), 1u);
    EXPECT_EQ(ReadWholeFile(World->Saved("MyFavourites.txt")),
              CrLfText(TLines(sets.begin() + 14 * 3, sets.begin() + 16 * 3)));
    EXPECT_EQ(ReadWholeFile(World->Host.Historic + "E8493.txt"), CrLfText(TLines{sets[14 * 3 + 1], sets[14 * 3 + 2]}));
    EXPECT_TRUE(Logged("      Updated historic: E8493.txt"));
}

// The times the usage ledger counted, in the order of the requests, as milliseconds.
std::vector<long long> CountedTimes(const std::string& StoreFile)
{
    TSqliteSettingsStore store(StoreFile);
    store.OpenKey(ProgramKeyPath() + "\\Usage", false);
    std::vector<long long> times;
    for (const std::string& field : ReadCommaText(store.ReadString("SpaceTrackRequests")))
        times.push_back(std::stoll(field));
    return times;
}

// The most requests in any window of that length.
std::size_t Busiest(const std::vector<long long>& Times, long long WindowMs)
{
    std::size_t most = 0;
    for (std::size_t first = 0, last = 0; last < Times.size(); ++last) {
        while (Times[last] - Times[first] >= WindowMs)
            ++first;
        most = std::max(most, last - first + 1);
    }
    return most;
}

TLines SpaceTrackRequests(const TLines& Requests)
{
    TLines only;
    std::copy_if(Requests.begin(), Requests.end(), std::back_inserter(only),
                 [](const std::string& Request) { return Request.find("/NORAD/elements/") == std::string::npos; });
    return only;
}

TEST_F(ApiRun, TwoRunsTogetherNeverAskMoreThanThirtyTimesAMinute)
{
    ChooseEveryGroup();
    for (int number = 40001; number <= 40250; ++number)
        World->Host.Inputs.Favourites.push_back(std::to_string(number));
    World->Host.Inputs.FavouritesFileName = "MyFavourites.txt";

    EXPECT_EQ(World->Run(), TDownloadOutcome::Completed);
    EXPECT_EQ(World->Run(), TDownloadOutcome::Completed) << ::testing::PrintToString(Log());

    const std::vector<long long> times = CountedTimes(StoreFile);
    EXPECT_EQ(times.size(), SpaceTrackRequests(Requests()).size());
    EXPECT_GT(times.size(), 30u);
    EXPECT_EQ(Busiest(times, 62'000), 30u) << "a margin over the minute";
    EXPECT_GT(Clock.Waited.count(), 0);
    EXPECT_GE(CountStarting(Log(), "   Waiting "), 1u);
}

// Cancel pressed while the run waits for the usage limit: the wait ends, nothing more is
// asked for, and the session is closed.
TEST_F(ApiRun, CancelEndsAUsageLimitWait)
{
    ChooseEveryGroup();
    for (int number = 40001; number <= 40250; ++number)
        World->Host.Inputs.Favourites.push_back(std::to_string(number));
    World->Host.Inputs.FavouritesFileName = "MyFavourites.txt";
    // The first run leaves too few requests of the minute for the second's.
    EXPECT_EQ(World->Run(), TDownloadOutcome::Completed);
    World->Host.Events.clear();
    World->Host.WhileAlive = [this] {
        if (Clock.Waited.count() > 0)
            World->Session.Cancel();
    };

    EXPECT_EQ(World->Run(), TDownloadOutcome::Cancelled);
    const TLines log = Log();
    // One wait cut short, then the logout's own, which still keeps to the limit.
    EXPECT_EQ(CountStarting(log, "   Waiting "), 2u) << ::testing::PrintToString(log);
    EXPECT_EQ(CountStarting(log, "   Saved: NameWeather.txt"), 0u) << "nothing is asked for after the cancel";
    ASSERT_GE(log.size(), 2u);
    EXPECT_EQ(log[log.size() - 2], "Logged out of Space-Track");
    EXPECT_EQ(log.back(), "Cancelled");

    // The status says at once that the cancel was seen, then counts the logout's wait down.
    TLines cancelling;
    for (const std::string& status : World->Host.Only("status"))
        if (status.starts_with("Cancelling"))
            cancelling.push_back(status);
    ASSERT_GE(cancelling.size(), 3u) << ::testing::PrintToString(cancelling);
    EXPECT_EQ(cancelling.front(), "Cancelling");
    const std::string counting = "Cancelling: logging out in ";
    const int first = std::stoi(cancelling[1].substr(counting.size()));
    for (std::size_t index = 1; index < cancelling.size(); ++index)
        EXPECT_EQ(cancelling[index], counting + std::to_string(first + 1 - static_cast<int>(index)) + " s");
    EXPECT_EQ(cancelling.back(), counting + "1 s");
    EXPECT_EQ(World->Session.IdleStatus(TDownloadOutcome::Cancelled), "Cancelled");
}

// A second run whose list needs more queries than the hour has left fails it before its first.
TEST_F(ApiRun, TwoRunsTogetherNeverAskMoreThanThreeHundredTimesAnHour)
{
    // 32,000 numbers: 160 queries a run.
    for (int number = 1; number <= 32000; ++number)
        World->Host.Inputs.Favourites.push_back(std::to_string(number));
    World->Host.Inputs.FavouritesFileName = "MyFavourites.txt";

    EXPECT_EQ(World->Run(), TDownloadOutcome::Completed);
    Requests();
    EXPECT_EQ(World->Run(), TDownloadOutcome::PartlyFailed);

    EXPECT_EQ(CountStarting(Requests(), "GET /basicspacedata/"), 0u);
    EXPECT_TRUE(Logged("   Failed: MyFavourites.txt (needs 160 queries; Space-Track allows 300 an hour, 135 of them "
                       "left now), the earlier file is kept"))
        << ::testing::PrintToString(Log());
    const std::vector<long long> times = CountedTimes(StoreFile);
    EXPECT_LE(Busiest(times, 3'620'000), 300u);
    EXPECT_LE(Busiest(times, 62'000), 30u);
    EXPECT_TRUE(std::filesystem::exists(World->Saved("MyFavourites.txt")));
}

TEST_F(ApiRun, GroupThatNeedsMoreQueriesThanAnHourAllowsSendsNone)
{
    Rules.PerHour = 3;
    // 601 numbers: four queries.
    for (int number = 1; number <= 601; ++number)
        World->Host.Inputs.Favourites.push_back(std::to_string(number));
    World->Host.Inputs.FavouritesFileName = "MyFavourites.txt";

    EXPECT_EQ(World->Run(), TDownloadOutcome::PartlyFailed);
    EXPECT_EQ(Requests(), (TLines{"GET /ajaxauth/logout", "POST /ajaxauth/login", "GET /ajaxauth/logout"}));
    EXPECT_TRUE(Logged("   Failed: MyFavourites.txt (needs 4 queries; Space-Track allows 3 an hour), no file was "
                       "written"))
        << ::testing::PrintToString(Log());
}

// "Retry-After: 3600" or a date: the run stops, and the next run sends nothing before then.
TEST_F(ApiRun, RetryAfterIsKeptAcrossRuns)
{
    for (const auto& [status, asDate] : {std::pair{429, false}, std::pair{503, true}}) {
        Requests();
        const std::time_t inAnHour = std::chrono::system_clock::to_time_t(Clock.Now() + std::chrono::hours(1));
        std::tm utc{};
        gmtime_r(&inAnHour, &utc);
        char date[64];
        std::strftime(date, sizeof date, "%a, %d %b %Y %H:%M:%S GMT", &utc);
        const std::string retryAfter = asDate ? std::string(date) : "3600";
        const std::string until = TimeOfDayText(std::chrono::system_clock::from_time_t(inAnHour));
        SCOPED_TRACE(status);
        Store()->DeleteKey(ProgramKeyPath() + "\\Usage");
        service::TServiceFaults faults;
        faults.ApiStatus = status;
        faults.ApiRetryAfter = retryAfter;
        World->Service->SetFaults(faults);
        World->Choose(4, "geo.txt");
        World->Choose(14, "globalstar.txt");

        EXPECT_EQ(World->Run(), TDownloadOutcome::Stopped);
        EXPECT_TRUE(Logged("Stopped: Space-Track answered HTTP " + std::to_string(status)
                           + " and asks for no request before " + until
                           + "; the run stops here and nothing more is asked for"))
            << ::testing::PrintToString(Log());
        const TLines requests = Requests();
        EXPECT_EQ(CountStarting(requests, "GET /basicspacedata/"), 1u) << ::testing::PrintToString(requests);
        EXPECT_TRUE(World->Host.Summary.back().starts_with("   globalstar.txt: not fetched (run stopped)"));

        World->Service->SetFaults({});
        Clock.Advance(std::chrono::minutes(50));
        EXPECT_EQ(World->Run(), TDownloadOutcome::Stopped);
        EXPECT_TRUE(Requests().empty()) << "nothing at all before the time asked for";
        EXPECT_TRUE(Logged("Stopped: Space-Track asked for no request before " + until
                           + "; nothing is sent to it until then"))
            << ::testing::PrintToString(Log());

        Clock.Advance(std::chrono::minutes(11));
        EXPECT_EQ(World->Run(), TDownloadOutcome::Completed) << ::testing::PrintToString(Log());
        Clock.Advance(std::chrono::hours(2));
    }
}

} // namespace
} // namespace elsetry::test
