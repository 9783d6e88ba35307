// Whole runs with the CelesTrak source against the stand-in's gp.php: what a run asks for and
// saves, and how it keeps to CelesTrak's rules across runs, proven against the stand-in's record.

#include "download/sources/CelesTrakQueries.h"
#include "download/sources/CelesTrakSource.h"
#include "download/SourceChoice.h"
#include "elements/SatelliteList.h"
#include "platform/AtomicFile.h"
#include "settings/RegistryVariables.h"
#include "text/CatalogueNumber.h"
#include "tests/download/DownloadSupport.h"
#include "tests/support/FakeClock.h"
#include "tests/support/StoreFixture.h"
#include "tools/catalogue-service/OmmFields.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <functional>

namespace elsetry::test {
namespace {

using namespace std::chrono_literals;
using TTime = TRunClock::TTime;

const TTime TenTwelve = FixedRunTime;
constexpr const char* GpPrefix = "GET /NORAD/elements/gp.php?";

// Sets numbered from 77000 on that no group holds: the list reaches them one number at a time.
TLines LoneSets(int Count)
{
    TCatalogueOptions options;
    options.Count = 11 + Count;
    options.FirstNumber = 77000;
    const TLines all = GenerateCatalogue(options);
    return TLines(all.begin() + 11 * 3, all.end());
}

std::string NumberOfSet(const TLines& Sets, std::size_t Index)
{
    return std::to_string(std::stoi(Sets[Index * 3 + 1].substr(2, 5)));
}

std::size_t CountStarting(const TLines& Lines, const std::string& Prefix)
{
    return static_cast<std::size_t>(
        std::count_if(Lines.begin(), Lines.end(), [&](const std::string& Line) { return Line.starts_with(Prefix); }));
}

class CelesTrakRun : public StoreTest {
protected:
    void SetUp() override
    {
        StoreTest::SetUp();
        StartService(service::TServiceOptions{});
    }

    // A stand-in that keeps CelesTrak's update window on the test's time, twelve demo groups with
    // six letter-form sets added to the full catalogue and the weather group, and a run with the
    // CelesTrak source and no account.
    void StartService(service::TServiceOptions Options)
    {
        Options.CelesTrakGroups = true;
        Options.GpUpdateWindow = 120min;
        Options.GpClock = [this] { return TTime(std::chrono::milliseconds(ServiceMillis.load())); };
        TDownloadTimeouts timeouts;
        timeouts.GroupMs = 1000;
        timeouts.QueryMs = 1000;
        World = std::make_unique<TDownloadWorld>(Options, timeouts, [this](const TDownloadInputs& Inputs) {
            return std::make_unique<TCelesTrakSource>(Inputs.CelesTrakAddress, Clock, Rules, StoreFile);
        });
        World->Host.Inputs.Source = std::string(CelesTrakSource);
        World->Host.Inputs.CelesTrakAddress = World->Service->Address();
        World->Host.Inputs.SpaceTrackAddress = "https://space-track.invalid";
        World->Host.Inputs.Username.clear();
        World->Host.Inputs.Password.clear();
        service::WriteDemoGroups(World->Data, 1500);
        const TLines letters(LetterForm.begin() + 11 * 3, LetterForm.end());
        for (const int file : {2, 8})
            TDownloadWorld::WriteText(World->Data + "/" + std::to_string(file) + ".txt",
                                      ReadWholeFile(World->Data + "/" + std::to_string(file) + ".txt")
                                          + LfText(letters));
        World->ServeGroup(99, Lone);
    }

    void Advance(std::chrono::milliseconds Time)
    {
        Clock.Advance(Time);
        ServiceMillis += Time.count();
    }

    void ChooseEveryGroup()
    {
        for (const TSpaceTrackGroup& group : SpaceTrackGroups)
            World->Choose(group.Id, std::string(group.FileNameSetting) + ".txt");
    }
    void ChooseList(const TLines& Numbers)
    {
        World->Host.Inputs.Favourites = Numbers;
        World->Host.Inputs.FavouritesFileName = "MyFavourites.txt";
    }

    // "METHOD readable target" of every request since the last call.
    TLines Requests()
    {
        TLines requests;
        for (const service::TRecordedRequest& request : World->Service->Requests())
            requests.push_back(request.Method + " " + request.ReadableTarget());
        World->Service->ClearRequests();
        return requests;
    }
    // The log of the last run.
    TLines Log() const
    {
        const TLines& events = World->Host.Events;
        const auto clear = std::find(events.rbegin(), events.rend(), "clear");
        TLines lines;
        for (auto event = clear.base(); event != events.end(); ++event)
            if (event->starts_with("log "))
                lines.push_back(event->substr(4));
        return lines;
    }
    bool Logged(const std::string& Line) const
    {
        const TLines log = Log();
        return std::find(log.begin(), log.end(), Line) != log.end();
    }
    std::string Saved(const std::string& FileName) const { return ReadWholeFile(World->Saved(FileName)); }
    std::string SetText(const TLines& Sets, std::size_t Index) const
    {
        return CrLfText(CelesTrakForm(TLines(Sets.begin() + static_cast<std::ptrdiff_t>(Index * 3),
                                             Sets.begin() + static_cast<std::ptrdiff_t>(Index * 3 + 3))));
    }
    // The set the stand-in holds for Number, as the saved files write it.
    std::string HeldSetText(int Number) const
    {
        for (const auto& set : service::AllSets(World->Data))
            if (CatalogueNumberValue(set[1].substr(2, 5)) == Number)
                return CrLfText(CelesTrakForm(TLines(set.begin(), set.end())));
        return {};
    }
    std::string ErrorTimes() const { return StoredString(ProgramKeyPath() + "\\CelesTrak", "ErrorAnswers"); }

    TFakeClock Clock{TenTwelve};
    std::atomic<long long> ServiceMillis{
        std::chrono::duration_cast<std::chrono::milliseconds>(TenTwelve.time_since_epoch()).count()};
    TCelesTrakRules Rules;
    const TLines LetterForm = LetterFormCatalogue();
    const TLines Lone = LoneSets(60);
    std::unique_ptr<TDownloadWorld> World;
};

TEST_F(CelesTrakRun, SavesEveryGroupAndTheListWithoutAnAccount)
{
    ChooseEveryGroup();
    ChooseList({"25544", "E8493", "148494", NumberOfSet(Lone, 0), "800000123", NumberOfSet(Lone, 1)});
    TDownloadWorld::WriteText(World->Data + "/8.csv",
                              std::string(service::OmmCsvHeader) + "\r\n"
                                  + "ANALYST OBJECT,,2026-12-01T00:00:00.000000,1.0027,.0001,0.1,0,0,0,0,U,"
                                    "800000123,999,1,0,0,0\r\n");
    std::filesystem::create_directory(World->Host.Historic);
    World->Host.Extra = {"E8493=E8493.txt"};
    TDownloadWorld::WriteText(World->Host.Historic + "E8493.txt", "");

    EXPECT_EQ(World->Run(), TDownloadOutcome::Completed) << ::testing::PrintToString(Log());

    TLines expected;
    for (const TSpaceTrackGroup& group : SpaceTrackGroups)
        expected.push_back(GpPrefix + std::string(group.CelesTrakQuery) + "&FORMAT=CSV");
    expected.push_back(GpPrefix + std::string("CATNR=") + NumberOfSet(Lone, 0) + "&FORMAT=CSV");
    expected.push_back(GpPrefix + std::string("CATNR=") + NumberOfSet(Lone, 1) + "&FORMAT=CSV");
    EXPECT_EQ(Requests(), expected) << "no login, nothing of Space-Track's";
    EXPECT_EQ(Log().front(), "Connecting to CelesTrak");
    EXPECT_EQ(CountStarting(Log(), "   Saved: "), GroupCount + 1);
    EXPECT_TRUE(Logged("   Weather: 1 object numbered past 339999 left out (element lines cannot hold their numbers)"))
        << ::testing::PrintToString(Log());
    EXPECT_TRUE(Logged("   Individual list: 800000123 left out (element lines hold numbers up to 339999)"));
    EXPECT_TRUE(World->Host.Only("message").empty());

    for (const TSpaceTrackGroup& group : SpaceTrackGroups) {
        TSatelliteList list;
        EXPECT_GT(list.LoadFromFile(World->Saved(std::string(group.FileNameSetting) + ".txt")), 0) << group.Name;
    }
    TSatelliteList weather;
    EXPECT_EQ(weather.LoadFromFile(World->Saved("NameWeather.txt")), 80 + 6);
    EXPECT_TRUE(Logged("      86 satellites"));
    EXPECT_NE(Saved("NameFullCatalog.txt").find(SetText(LetterForm, 14)), std::string::npos);
    EXPECT_EQ(Saved("MyFavourites.txt"), HeldSetText(25544) + SetText(LetterForm, 14) + SetText(LetterForm, 15)
                                             + SetText(Lone, 0) + SetText(Lone, 1))
        << "in the list's order";
    EXPECT_EQ(ReadWholeFile(World->Host.Historic + "E8493.txt"),
              CrLfText(CelesTrakForm(TLines{LetterForm[14 * 3 + 1], LetterForm[14 * 3 + 2]})));
    EXPECT_TRUE(Logged("      Updated historic: E8493.txt"));
}


TEST_F(CelesTrakRun, SecondRunWithinTwoHoursAsksForNothing)
{
    ChooseEveryGroup();
    ChooseList({"E8493", NumberOfSet(Lone, 0)});
    ASSERT_EQ(World->Run(), TDownloadOutcome::Completed) << ::testing::PrintToString(Log());
    ASSERT_EQ(Requests().size(), GroupCount + 1);
    const std::string weather = Saved("NameWeather.txt");
    const std::string list = Saved("MyFavourites.txt");

    Advance(119min);
    // Another of CelesTrak's addresses: the rules go by the query.
    World->Host.Inputs.CelesTrakAddress = "http://localhost:" + std::to_string(World->Service->Port());
    EXPECT_EQ(World->Run(), TDownloadOutcome::Completed) << ::testing::PrintToString(Log());
    EXPECT_TRUE(Requests().empty());
    for (const TSpaceTrackGroup& group : SpaceTrackGroups)
        EXPECT_TRUE(Logged("   Unchanged: " + std::string(group.FileNameSetting)
                           + ".txt (CelesTrak updates every 2 hours; last fetched 10:12 UTC)"))
            << group.Name << ::testing::PrintToString(Log());
    EXPECT_TRUE(
        Logged("   Individual list: sets fetched since 10:12 UTC used again (CelesTrak updates every 2 hours)"));
    EXPECT_TRUE(Logged("   Saved: MyFavourites.txt"));
    EXPECT_EQ(Saved("NameWeather.txt"), weather);
    EXPECT_EQ(Saved("MyFavourites.txt"), list);

    Advance(1min);
    EXPECT_EQ(World->Run(), TDownloadOutcome::Completed) << ::testing::PrintToString(Log());
    const TLines third = Requests();
    EXPECT_EQ(CountStarting(third, std::string(GpPrefix) + "GROUP="), GroupCount - 1);
    EXPECT_EQ(CountStarting(third, std::string(GpPrefix) + "NAME=INMARSAT"), 1u);
    EXPECT_EQ(CountStarting(third, std::string(GpPrefix) + "CATNR=" + NumberOfSet(Lone, 0)), 1u);
    EXPECT_EQ(ErrorTimes(), "") << "every answer brought data";
}

// CelesTrak's words come broken over lines, with status 403 or, from one of its servers, 200.
TEST_F(CelesTrakRun, ForbiddenRepeatIsUnchangedNotFailed)
{
    for (const bool answered200 : {false, true}) {
        SCOPED_TRACE(answered200 ? "200" : "403");
        Clock.Set(TenTwelve);
        ServiceMillis = std::chrono::duration_cast<std::chrono::milliseconds>(TenTwelve.time_since_epoch()).count();
        Store()->DeleteKey(ProgramKeyPath() + "\\CelesTrak");
        service::TServiceOptions options;
        options.GpRepeatAnswered200 = answered200;
        StartService(options);
        World->Choose(8, "weather.txt");
        World->Choose(4, "geo.txt");
        World->Choose(22, "visual.txt");
        World->Host.Inputs.Groups[RowOf(22)].Checked = false;
        ASSERT_EQ(World->Run(), TDownloadOutcome::Completed);
        const std::string weather = Saved("weather.txt");
        // Another program on this address fetched it too, or the store was set up afresh: the run
        // does not know of its last fetch, CelesTrak does.
        Store()->DeleteKey(ProgramKeyPath() + "\\CelesTrak\\Answers");
        Requests();

        Advance(10min);
        World->Host.Inputs.Groups[RowOf(22)].Checked = true;
        EXPECT_EQ(World->Run(), TDownloadOutcome::Completed) << ::testing::PrintToString(Log());
        EXPECT_EQ(Requests(), (TLines{std::string(GpPrefix) + "GROUP=geo&FORMAT=CSV",
                                      std::string(GpPrefix) + "GROUP=weather&FORMAT=CSV",
                                      std::string(GpPrefix) + "GROUP=visual&FORMAT=CSV"}));
        EXPECT_TRUE(Logged("   Unchanged: weather.txt (CelesTrak says it has not updated since the last download)"))
            << ::testing::PrintToString(Log());
        EXPECT_TRUE(Logged("   Unchanged: geo.txt (CelesTrak says it has not updated since the last download)"));
        EXPECT_TRUE(Logged("   Saved: visual.txt")) << "the later group is fetched";
        EXPECT_EQ(Saved("weather.txt"), weather);
        const std::string errors = ErrorTimes();
        EXPECT_EQ(errors.empty() ? 0 : std::count(errors.begin(), errors.end(), ',') + 1, answered200 ? 0 : 2)
            << "each 403 is an error answer";

        Advance(10min);
        EXPECT_EQ(World->Run(), TDownloadOutcome::Completed);
        EXPECT_TRUE(Requests().empty()) << "not asked again within the update cycle of the refusal";
        EXPECT_TRUE(
            Logged("   Unchanged: weather.txt (CelesTrak updates every 2 hours; at 10:22 UTC it had nothing new)"))
            << ::testing::PrintToString(Log());
    }
}

// Every set of the Inmarsat group renamed: CelesTrak then finds nothing for NAME=INMARSAT.
void RenameInmarsat(const std::string& Folder)
{
    for (const char* file : {"/2.txt", "/18.txt"}) {
        std::string text = ReadWholeFile(Folder + file);
        for (std::size_t at = text.find("INMARSAT"); at != std::string::npos; at = text.find("INMARSAT", at))
            text.replace(at, 8, "SATCOMMS");
        TDownloadWorld::WriteText(Folder + file, text);
    }
}

TEST_F(CelesTrakRun, NoDataFailsOnlyItsGroup)
{
    RenameInmarsat(World->Data);
    World->Choose(18, "inmarsat.txt");
    World->Choose(16, "intelsat.txt");
    TDownloadWorld::WriteText(World->Saved("inmarsat.txt"), "kept as it was\r\n");

    EXPECT_EQ(World->Run(), TDownloadOutcome::PartlyFailed);
    EXPECT_EQ(Requests(), (TLines{std::string(GpPrefix) + "NAME=INMARSAT&FORMAT=CSV",
                                  std::string(GpPrefix) + "GROUP=intelsat&FORMAT=CSV"}));
    EXPECT_TRUE(Logged("   Failed: inmarsat.txt (no data at CelesTrak: No GP data found), the earlier file is kept"))
        << ::testing::PrintToString(Log());
    EXPECT_TRUE(Logged("   Saved: intelsat.txt"));
    EXPECT_TRUE(Logged("1 of 2 downloads failed"));
    EXPECT_EQ(Saved("inmarsat.txt"), "kept as it was\r\n");

    Advance(30min);
    EXPECT_EQ(World->Run(), TDownloadOutcome::PartlyFailed);
    EXPECT_TRUE(Requests().empty());
    EXPECT_TRUE(Logged("   Failed: inmarsat.txt (no data at CelesTrak at 10:12 UTC; it updates every 2 hours), the "
                       "earlier file is kept"))
        << ::testing::PrintToString(Log());
}

struct TStopCase {
    const char* What;
    std::function<void(service::TServiceOptions&)> Arrange;
    bool ByHostName;
    std::string Stop;
};

TEST_F(CelesTrakRun, OtherFailuresStopAskingAndKeepEveryFile)
{
    const TStopCase cases[] = {
        {"service unavailable", [](service::TServiceOptions& O) { O.Faults.GpErrors["GROUP=weather"] = 503; }, false,
         "Stopped: asking CelesTrak for GROUP=weather failed: HTTP 503 \"Service Unavailable\"; nothing more is asked "
         "of CelesTrak in this run, every file is kept"},
        {"forbidden for another reason", [](service::TServiceOptions& O) { O.Faults.GpErrors["GROUP=weather"] = 403; },
         false,
         "Stopped: asking CelesTrak for GROUP=weather failed: HTTP 403 \"Error\"; nothing more is asked of CelesTrak "
         "in this run, every file is kept"},
        {"time-out", [](service::TServiceOptions& O) { O.Faults.GpStalls.insert("GROUP=weather"); }, false,
         "Stopped: asking CelesTrak for GROUP=weather failed: timed out after 1 s; nothing more is asked of CelesTrak "
         "in this run, every file is kept"},
        {"another host name", [](service::TServiceOptions& O) { O.GpOneHost = true; }, true,
         "Stopped: asking CelesTrak for GROUP=geo failed: redirected to ADDRESS/NORAD/elements/gp.php?GROUP=geo&FORMAT=CSV "
         "(HTTP 301); nothing more is asked of CelesTrak in this run, every file is kept"},
    };
    for (const TStopCase& c : cases) {
        SCOPED_TRACE(c.What);
        service::TServiceOptions options;
        options.Faults.StallTime = 5s;
        c.Arrange(options);
        StartService(options);
        if (c.ByHostName)
            World->Host.Inputs.CelesTrakAddress = "http://localhost:" + std::to_string(World->Service->Port());
        for (const int group : {4, 8, 22})
            World->Choose(group, std::to_string(group) + ".txt");
        TDownloadWorld::WriteText(World->Saved("8.txt"), "kept as it was\r\n");
        Store()->DeleteKey(ProgramKeyPath() + "\\CelesTrak");

        EXPECT_EQ(World->Run(), TDownloadOutcome::Stopped);

        std::string stop = c.Stop;
        if (const std::size_t at = stop.find("ADDRESS"); at != std::string::npos)
            stop.replace(at, 7, World->Service->Address());
        const TLines log = Log();
        ASSERT_GE(log.size(), 3u);
        EXPECT_EQ(log[log.size() - 2], stop);
        EXPECT_EQ(log.back(), c.ByHostName ? "3 of 3 downloads failed" : "2 of 3 downloads failed")
            << "the files not fetched count too";
        const std::string stopped = c.ByHostName ? "4.txt" : "8.txt";
        EXPECT_EQ(CountStarting(log, "   Failed: " + stopped + " ("), 1u) << ::testing::PrintToString(log);
        const TLines& summary = World->Host.Summary;
        EXPECT_EQ(summary.back(), "   22.txt: not fetched (run stopped), no file was written") << ::testing::PrintToString(summary);
        EXPECT_EQ(summary.size(), 4u) << "every chosen file is named";
        const TLines requests = Requests();
        const TLines expected{std::string(GpPrefix) + "GROUP=geo&FORMAT=CSV",
                              std::string(GpPrefix) + "GROUP=weather&FORMAT=CSV"};
        EXPECT_EQ(requests, TLines(expected.begin(), expected.begin() + (c.ByHostName ? 1 : 2)));
        EXPECT_EQ(Saved("8.txt"), "kept as it was\r\n");
        EXPECT_FALSE(std::filesystem::exists(World->Saved("22.txt")));
        EXPECT_EQ(
            ErrorTimes(),
            std::to_string(std::chrono::duration_cast<std::chrono::milliseconds>(TenTwelve.time_since_epoch()).count()))
            << "the failure counts as an error answer";
    }
}

TEST_F(CelesTrakRun, ErrorAnswersNeverPassFiftyInTwoHours)
{
    // Numbers CelesTrak does not have: each is one 404.
    TLines unknown;
    for (int number = 90001; number <= 90055; ++number)
        unknown.push_back(std::to_string(number));
    ChooseList(TLines(unknown.begin(), unknown.begin() + 45));
    EXPECT_EQ(World->Run(), TDownloadOutcome::PartlyFailed);
    EXPECT_EQ(CountStarting(Requests(), std::string(GpPrefix) + "CATNR="), 45u);
    EXPECT_TRUE(Logged("   Failed: MyFavourites.txt (no element sets), no file was written"));

    Advance(10min);
    ChooseList(TLines(unknown.begin() + 45, unknown.end()));
    EXPECT_EQ(World->Run(), TDownloadOutcome::Stopped);
    EXPECT_EQ(CountStarting(Requests(), std::string(GpPrefix) + "CATNR="), 5u) << "none that could pass the budget";
    const std::string stop = "Stopped: CelesTrak gave 50 error answers in 2 hours, as many as it bears before it "
                             "blocks a client; it may be asked again at 12:12 UTC";
    EXPECT_TRUE(Logged(stop));
    EXPECT_EQ(Log().back(), "1 of 1 downloads failed");
    EXPECT_TRUE(Logged("   Individual list: not found at CelesTrak: 90046, 90047, 90048, 90049, 90050"));

    Advance(10min);
    ChooseEveryGroup();
    EXPECT_EQ(World->Run(), TDownloadOutcome::Stopped);
    EXPECT_TRUE(Requests().empty());
    EXPECT_EQ(Log(), (TLines{"Connecting to CelesTrak", stop, "13 of 13 downloads failed"}));
    EXPECT_EQ(World->Host.Summary.back(), "   MyFavourites.txt: not fetched (run stopped), no file was written");

    Advance(100min);
    World->Host.Inputs.Groups = {};
    World->Choose(8, "weather.txt");
    EXPECT_EQ(World->Run(), TDownloadOutcome::PartlyFailed) << ::testing::PrintToString(Log());
    const TLines later = Requests();
    EXPECT_EQ(later.front(), std::string(GpPrefix) + "GROUP=weather&FORMAT=CSV");
    EXPECT_EQ(CountStarting(later, std::string(GpPrefix) + "CATNR="), 5u)
        << "90046 to 90050 had no data twenty minutes into the update cycle and are not asked for again";
}

TEST_F(CelesTrakRun, ListAsksForAtMostFiftyNumbersARun)
{
    TLines numbers;
    for (std::size_t index = 0; index < 60; ++index)
        numbers.push_back(NumberOfSet(Lone, index));
    ChooseList(numbers);

    EXPECT_EQ(World->Run(), TDownloadOutcome::Completed) << ::testing::PrintToString(Log());
    TLines requests = Requests();
    ASSERT_EQ(requests.size(), 50u);
    EXPECT_EQ(requests.back(), std::string(GpPrefix) + "CATNR=" + numbers[49] + "&FORMAT=CSV");
    std::string leftOut;
    for (std::size_t index = 50; index < 60; ++index)
        leftOut += (leftOut.empty() ? "" : ", ") + numbers[index];
    EXPECT_TRUE(Logged("   Individual list: 10 numbers left out, CelesTrak is asked for at most 50 single numbers a "
                       "run: "
                       + leftOut))
        << ::testing::PrintToString(Log());
    EXPECT_TRUE(Logged("      50 satellites"));

    Advance(5min);
    EXPECT_EQ(World->Run(), TDownloadOutcome::Completed) << ::testing::PrintToString(Log());
    requests = Requests();
    ASSERT_EQ(requests.size(), 10u) << "the sets fetched five minutes ago are used again";
    EXPECT_EQ(requests.front(), std::string(GpPrefix) + "CATNR=" + numbers[50] + "&FORMAT=CSV");
    EXPECT_TRUE(Logged("      60 satellites"));
}

TEST_F(CelesTrakRun, RowThatDoesNotReadFailsItsGroupWhole)
{
    World->Choose(8, "weather.txt");
    World->Choose(22, "visual.txt");
    TDownloadWorld::WriteText(World->Saved("weather.txt"), "kept as it was\r\n");
    TDownloadWorld::WriteText(World->Data + "/8.csv",
                              std::string(service::OmmCsvHeader) + "\r\n"
                                  + "BROKEN,2026-001A,2026-12-01T00:00:00.000000,fast,.0001,0.1,0,0,0,0,U,"
                                    "77777,999,1,0,0,0\r\n");

    EXPECT_EQ(World->Run(), TDownloadOutcome::PartlyFailed);
    EXPECT_EQ(CountStarting(Log(), "   Failed: weather.txt (not element sets: "), 1u)
        << ::testing::PrintToString(Log());
    EXPECT_EQ(Saved("weather.txt"), "kept as it was\r\n");
    EXPECT_TRUE(Logged("   Saved: visual.txt"));

    // The answer that failed is no fetch: the next run asks for it again (and the stand-in, as
    // CelesTrak does, says it has not updated since).
    Requests();
    Advance(10min);
    World->Run();
    EXPECT_EQ(Requests(), TLines{std::string(GpPrefix) + "GROUP=weather&FORMAT=CSV"});
    EXPECT_EQ(CountStarting(Log(), "   Unchanged: weather.txt (CelesTrak updates every 2 hours; last fetched"), 0u);
}

// For a CSV or JSON file a group's answer keeps CelesTrak's CSV as it came, objects past what
// element lines hold included; for element lines it keeps none, nor does the individual list,
// which is put together from several answers.
TEST_F(CelesTrakRun, CsvAnswerIsKeptOnlyForOmmFiles)
{
    TOmmRecord far = service::OmmRecordOf(Lone[0], Lone[1], Lone[2]);
    far.NoradCatId = "800000123";
    TDownloadWorld::WriteText(World->Data + "/8.csv", service::OmmCsv({far}));
    THttpClient http;
    TKepTempFile temp(World->Temp);
    const TRunDeadline deadline;
    TRunChannel channel(http, temp, deadline, 60000);
    TCelesTrakSource source(World->Service->Address(), Clock, Rules, StoreFile);
    const std::pair<int, TFileForm> cases[] = {
        {20, TFileForm::ThreeLine}, {4, TFileForm::TwoLine}, {8, TFileForm::Csv}, {6, TFileForm::Json}};
    for (const auto& [id, form] : cases) {
        SCOPED_TRACE(id);
        const TSourceAnswer answer = source.GroupAnswer(channel, SpaceTrackGroups[RowOf(id)], form);
        source.FileSaved();
        ASSERT_EQ(answer.Outcome, TAnswerOutcome::Lines);
        const bool omm = form == TFileForm::Csv || form == TFileForm::Json;
        EXPECT_EQ(answer.OmmKind, omm ? TOmmKind::Csv : TOmmKind::None);
        EXPECT_EQ(answer.OmmText.empty(), !omm);
        if (!omm)
            continue;
        const TCsvElementSets sets = CsvElementSets(answer.OmmText);
        TLines lines;
        for (const auto& set : sets.Sets)
            lines.insert(lines.end(), set.begin(), set.end());
        EXPECT_EQ(lines, answer.Lines);
        EXPECT_EQ(sets.PastLargest, id == 8 ? 1 : 0);
    }
    const TSourceAnswer list = source.IndividualListAnswer(channel, {NumberOfSet(Lone, 1)}, TFileForm::Csv);
    EXPECT_EQ(list.Outcome, TAnswerOutcome::Lines);
    EXPECT_TRUE(list.OmmText.empty());
}

TEST(CelesTrakSourceChoice, NeedsNoAccount)
{
    TDownloadInputs inputs;
    inputs.Source = "celestrak";
    inputs.CelesTrakAddress = "https://celestrak.org";
    const std::unique_ptr<TSource> source = SourceFor(inputs);
    ASSERT_TRUE(source);
    EXPECT_EQ(source->ServiceName(), "CelesTrak");
    EXPECT_FALSE(source->NeedsLogin());
    EXPECT_EQ(UnknownSourceText("Heavens"), "There is no source named \"Heavens\"; choose Space-Track, Space-Track "
                                            "legacy or CelesTrak as the source on the Download page");
}

} // namespace
} // namespace elsetry::test
