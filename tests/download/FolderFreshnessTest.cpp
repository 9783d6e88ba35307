// The age of the newest element sets in the group data folder, from the epochs of its files.

#include "elementfiles/FolderFreshness.h"
#include "tests/download/RecordingHost.h"

#include <gtest/gtest.h>

namespace elsetry::test {
namespace {

// 2026-12-08 00:00 UTC, day 342 of 2026.
constexpr std::time_t Now = 1796688000;

std::string SetsDated(std::initializer_list<const char*> Epochs)
{
    std::vector<std::string> lines;
    int number = 10000;
    for (const char* epoch : Epochs) {
        const std::vector<std::string> set = Set("SAT " + std::to_string(number), std::to_string(number), epoch);
        lines.insert(lines.end(), set.begin(), set.end());
        ++number;
    }
    return CrLf(lines);
}

TEST(FolderFreshness, OnlySetsOlderThanAWeekAreWorthANote)
{
    struct TCase {
        const char* What;
        std::vector<std::pair<const char*, std::string>> Files;
        std::string Note;
    };
    const TCase cases[] = {
        {"no files", {}, ""},
        {"three days old", {{"Weather.txt", SetsDated({"26339.00000000"})}}, ""},
        {"exactly a week", {{"Weather.txt", SetsDated({"26335.00000000"})}}, ""},
        {"eight and a half days",
         {{"Weather.txt", SetsDated({"26333.50000000", "26320.00000000"})}},
         "The newest element sets in the folder are 8 days old"},
        {"the newest of any file counts",
         {{"Weather.txt", SetsDated({"26300.00000000"})}, {"Geo.tle", SetsDated({"26341.00000000"})}},
         ""},
        {"each element file form",
         {{"a.2li", SetsDated({"26330.00000000"})}, {"b.TLE", SetsDated({"26320.00000000"})}},
         "The newest element sets in the folder are 12 days old"},
        {"other files do not count",
         {{"Weather.txt", SetsDated({"26300.00000000"})}, {"notes.csv", SetsDated({"26341.00000000"})}},
         "The newest element sets in the folder are 42 days old"},
        {"the last century's sets",
         {{"Old.txt", SetsDated({"98264.51782528"})}},
         "The newest element sets in the folder are 10304 days old"},
        {"text that holds no sets", {{"readme.txt", "1 line of prose\r\n"}}, ""},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.What);
        TTempFolder folder;
        for (const auto& [name, text] : c.Files)
            WriteFile(folder.Path + "/" + name, text);
        EXPECT_EQ(StaleFolderNote(folder.Path + "/", Now), c.Note);
    }
    EXPECT_EQ(StaleFolderNote("/nonexistent/folder/", Now), "");
}

// Now is 2026-12-08 00:00 UTC.
TEST(FolderFreshness, LastRunIsShownWithItsAge)
{
    const std::pair<std::string, std::string> cases[] = {
        {"", "No successful run yet"},
        {"2026-12-08 00:00 UTC", "Last successful run: 2026-12-08 00:00 UTC (just now)"},
        {"2026-12-07 23:01 UTC", "Last successful run: 2026-12-07 23:01 UTC (59 min ago)"},
        {"2026-12-07 21:00 UTC", "Last successful run: 2026-12-07 21:00 UTC (3 h ago)"},
        {"2026-12-06 00:01 UTC", "Last successful run: 2026-12-06 00:01 UTC (47 h ago)"},
        {"2026-11-28 12:00 UTC", "Last successful run: 2026-11-28 12:00 UTC (9 days ago)"},
        {"2026-12-08 00:05 UTC", "Last successful run: 2026-12-08 00:05 UTC"},
        {"2026-13-08 00:05 UTC", "Last successful run: 2026-13-08 00:05 UTC"},
        {"an unknown time", "Last successful run: an unknown time"},
    };
    for (const auto& [stored, shown] : cases)
        EXPECT_EQ(LastRunText(stored, Now), shown) << stored;
}

} // namespace
} // namespace elsetry::test
