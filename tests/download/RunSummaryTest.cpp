// The block that ends a run's log: its lines, the numbers the list missed, and whole runs.

#include "download/RunSummary.h"
#include "platform/AtomicFile.h"
#include "tests/download/DownloadSupport.h"
#include "tests/download/RecordingHost.h"
#include "tests/support/TestElementSets.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <regex>

#include <sys/stat.h>

namespace elsetry::test {
namespace {

// 2026-12-08 17:40:59 UTC.
constexpr std::time_t RunTime = 1796751659;

TEST(RunSummary, LinesGiveEachFileItsResultAndTheMissedNumbers)
{
    struct TCase {
        const char* What;
        TRunSummary Summary;
        TLines Lines;
    };
    const TCase cases[] = {
        {"nothing tried",
         {RunTime, "/home/sat/keps/", {}, {}},
         {"Run of 2026-12-08 17:40 UTC into /home/sat/keps/", "   No file was downloaded"}},
        {"each result",
         {RunTime,
          "/home/sat/keps/",
          {{"Weather.txt", TFileResult::Saved, 12, {}, TSetChanges{3, 1, 2}},
           {"One.txt", TFileResult::Saved, 1, {}, std::nullopt},
           {"Amateur.txt", TFileResult::Unchanged, 120, "not updated since the last run", std::nullopt},
           {"FullCatalog.txt", TFileResult::Skipped, std::nullopt, "once an hour", std::nullopt},
           {"Geo.txt", TFileResult::Failed, 1, "HTTP 500", std::nullopt},
           {"New.txt", TFileResult::Failed, std::nullopt, "connection cut", std::nullopt},
           {"Visible.txt", TFileResult::NotFetched, 3, "run stopped", std::nullopt}},
          {"7", "148493"}},
         {"Run of 2026-12-08 17:40 UTC into /home/sat/keps/",
          "   Weather.txt: saved, 12 satellites (3 newer, 1 new, 2 gone)", "   One.txt: saved, 1 satellite",
          "   Amateur.txt: unchanged (not updated since the last run), 120 satellites kept",
          "   FullCatalog.txt: skipped (once an hour), no file was written",
          "   Geo.txt: failed (HTTP 500), 1 satellite kept", "   New.txt: failed (connection cut), no file was written",
          "   Visible.txt: not fetched (run stopped), 3 satellites kept",
          "   Not found: 7, 148493"}},
        {"control characters from outside",
         {RunTime, "/tmp/\x1b[2J/", {{"Geo.txt", TFileResult::Failed, std::nullopt, "HTTP 500\r\n", std::nullopt}}, {}},
         {"Run of 2026-12-08 17:40 UTC into /tmp/\\x1b[2J/",
          "   Geo.txt: failed (HTTP 500\\x0d\\x0a), no file was written"}},
        {"C1 controls and other high bytes from outside",
         {RunTime, "/tmp/\xc3\xa9t\xc3\xa9/", {{"W\x9b" "2J.txt", TFileResult::Failed, std::nullopt, "\x85", std::nullopt}}, {"\xff"}},
         {"Run of 2026-12-08 17:40 UTC into /tmp/\\xc3\\xa9t\\xc3\\xa9/", "   W\\x9b2J.txt: failed (\\x85), no file was written",
          "   Not found: \\xff"}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.What);
        EXPECT_EQ(SummaryLines(c.Summary), c.Lines);
    }
}

TEST(RunSummary, KeptFilesAreCountedOnlyWhenTheyAreRegularFiles)
{
    TTempFolder folder;
    WriteFile(folder.Path + "/Two.txt", CrLf(Joined({Set("ISS", "25544"), Set("OSCAR 7", "00007")})));
    WriteFile(folder.Path + "/Empty.txt", "");
    std::filesystem::create_symlink(folder.Path + "/Two.txt", folder.Path + "/Link.txt");
    ASSERT_EQ(::mkfifo((folder.Path + "/Pipe.txt").c_str(), 0600), 0);
    const std::pair<const char*, std::optional<int>> cases[] = {
        {"Two.txt", 2},
        {"Empty.txt", 0},
        {"Missing.txt", std::nullopt},
        {"Link.txt", std::nullopt},
        {"Pipe.txt", std::nullopt},
    };
    for (const auto& [name, count] : cases) {
        SCOPED_TRACE(name);
        EXPECT_EQ(SatellitesInFile(folder.Path + "/" + name), count);
    }
}

TEST(RunSummary, NumbersNotFoundAreThoseNoFirstLineCarries)
{
    const TLines sets = Joined({Set("ISS", "25544"), Set("OSCAR 7", "00007"), Set("LETTERED", "E8493")});
    struct TCase {
        const char* What;
        TLines Numbers;
        TLines Missing;
        std::vector<long> PastElementLines = {};
    };
    const TCase cases[] = {
        {"every one found", {"25544", "00007"}, {}},
        {"past element lines, found among the file's objects or not",
         {"340001", "0123456789", "999999999"},
         {"999999999"},
         {340001, 123456789}},
        {"past element lines, with none kept", {"340001", "25544"}, {"340001"}},
        {"leading zeros left out", {"7"}, {}},
        {"letter form and its value", {"E8493", "148493"}, {}},
        {"missing ones in digits, by number, once",
         {"99999", "00012", "25544", "7", "Z9999", "339999", "12"},
         {"12", "99999", "339999"}},
        {"a line that is no number", {"ISS", ""}, {}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.What);
        EXPECT_EQ(NumbersNotFound(c.Numbers, CrLfText(sets), c.PastElementLines), c.Missing);
    }
    EXPECT_EQ(NumbersNotFound({"25544"}, {}), TLines{"25544"});
}

// Whole runs against the stand-in: what each chosen file became, in the order tried, then the
// list's missing numbers.
TEST(RunSummary, RunEndsItsLogWithTheSummary)
{
    TDownloadWorld world;
    const TLines full = Catalogue(30);
    world.ServeGroup(2, full);
    world.ServeGroup(8, TLines(full.begin(), full.begin() + 12));
    world.ServeGroup(20, TLines(full.begin() + 12, full.begin() + 18));
    world.Choose(2, "FullCatalog.txt");
    world.Choose(8, "Weather.txt");
    world.Choose(20, "Amateur.txt");
    TDownloadWorld::WriteText(world.Saved("Amateur.txt"), CrLf(Catalogue(2)));
    // Sets 2 to 5 at earlier epochs: 2 and 3 come newer, 0 and 1 are new, 4 and 5 are gone.
    const TLines older = Catalogue(30, 200);
    TDownloadWorld::WriteText(world.Saved("Weather.txt"), CrLf(TLines(older.begin() + 6, older.begin() + 18)));
    service::TServiceFaults faults;
    faults.ErrorGroups = {20};
    world.Service->SetFaults(faults);
    const std::string absent = "00007";
    ASSERT_EQ(
        std::find_if(full.begin(), full.end(), [&](const std::string& Line) { return Line.starts_with("1 00007"); }),
        full.end());
    // The form exchange answers element lines, which cannot hold the last: noted, not "not found".
    world.Host.Inputs.Favourites = {full[4].substr(2, 5), absent, "340001"};
    world.Host.Inputs.FavouritesFileName = "MyFavourites.txt";

    EXPECT_EQ(world.Run(), TDownloadOutcome::PartlyFailed);

    ASSERT_EQ(world.Host.Summary.size(), 6U) << ::testing::PrintToString(world.Host.Summary);
    EXPECT_TRUE(std::regex_match(
        world.Host.Summary[0],
        std::regex("Run of 20[0-9]{2}-[01][0-9]-[0-3][0-9] [0-2][0-9]:[0-5][0-9] UTC into " + world.Host.Kepler)))
        << world.Host.Summary[0];
    EXPECT_EQ(
        TLines(world.Host.Summary.begin() + 1, world.Host.Summary.end()),
        (TLines{"   FullCatalog.txt: saved, 30 satellites", "   Amateur.txt: failed (HTTP 500), 2 satellites kept",
                "   Weather.txt: saved, 4 satellites (2 newer, 2 new, 2 gone)",
                "   MyFavourites.txt: saved, 1 satellite", "   Not found: 7"}));
    EXPECT_EQ(world.Host.Only("log").back(), "1 of 4 downloads failed") << "the run's own lines stay as they were";
    const TLines log = world.Host.Only("log");
    EXPECT_NE(std::find(log.begin(), log.end(),
                        "   Individual list: 340001 left out (element lines hold numbers up to 339999)"),
              log.end());
}

TEST(RunSummary, RunThatEndsEarlySaysNothingWasDownloaded)
{
    TDownloadWorld world;
    world.ServeGroup(2, Catalogue(3));
    world.Choose(2, "FullCatalog.txt");
    world.Host.Inputs.Password = "wrong";

    EXPECT_EQ(world.Run(), TDownloadOutcome::LoginRefused);

    ASSERT_EQ(world.Host.Summary.size(), 2U);
    EXPECT_EQ(world.Host.Summary[1], "   No file was downloaded");
}

} // namespace
} // namespace elsetry::test
