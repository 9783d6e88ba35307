#include "elementfiles/SaveAndCheck.h"

#include "download/sources/RunStops.h"
#include "tests/download/RecordingHost.h"

#include <gtest/gtest.h>
#include <linux/ioprio.h>

namespace elsetry::test {
namespace {

using TLines = std::vector<std::string>;

struct TTextCase {
    const char* What;
    TLines Text;
    TLines Written; // empty: no file
    TLines Log;
};

TEST(SaveAndCheck, CommentLinesAndIncompleteSets)
{
    const TLines a = Set("SAT A", "11111");
    const TLines b = Set("SAT B", "22222");
    const TTextCase cases[] = {
        {"one comment line", Joined({{"# header"}, a}), a, {"   Saved: g.txt", "      1 satellites"}},
        // The third comment line shifts the sets: no longer an answer to trust.
        {"only two of three comment lines go", Joined({{"#1", "#2", "#3"}, a}), {}, {}},
        {"a seventh line ends the answer inside a set", Joined({a, b, {"EXTRA"}}), {}, {}},
        {"blank lines are not written", Joined({a, {"", "  "}, b, {""}}), Joined({a, b}),
         {"   Saved: g.txt", "      2 satellites"}},
        {"two lines keep their comments", {"#1", "#2"}, {}, {}},
        {"two lines left after comments", {"#1", "#2", a[1], a[2]}, {}, {}},
    };
    for (const TTextCase& c : cases) {
        SCOPED_TRACE(c.What);
        TSaveFolders folders;
        TSaveResult saved;
        if (c.Written.empty()) {
            // Fewer than three lines are no answer to save: the group has failed.
            EXPECT_THROW(SaveAndCheck(folders.Host, folders.Host.Folders(), TLines(c.Text), "g.txt"), EGroupFailed);
        } else {
            saved = SaveAndCheck(folders.Host, folders.Host.Folders(), TLines(c.Text), "g.txt");
        }
        EXPECT_EQ(folders.Host.LogLines(), c.Log);
        if (c.Written.empty()) {
            EXPECT_TRUE(std::filesystem::is_empty(folders.Host.Kepler));
        } else {
            EXPECT_EQ(ReadWholeFile(folders.Group("g.txt")), CrLf(c.Written));
            EXPECT_EQ(*saved.Text, CrLf(c.Written));
        }
    }
}

TEST(SaveAndCheck, ReportsNamesTheListDoesNotHold)
{
    TSaveFolders folders;
    TLines text = Joined({Set("SAT A", "11111", "08264.00000000"), Set("sat a", "22222", "08265.00000000"),
                          Set("A NAME LONGER THAN TWENTY-FOUR CHARACTERS", "33333"), Set("NOAA-N", "28654"),
                          Set(" SAT B ", "55555")});
    SaveAndCheck(folders.Host, folders.Host.Folders(), TLines(text), "g.txt");

    EXPECT_EQ(folders.Host.Events, (TLines{"log!    Saved: g.txt", "status Checking g.txt",
                                           "status Checking g.txt data", "log       5 satellites, 4 unique names",
                                           "log          Missing: A NAME LONGER THAN TWENTY-FOUR CHARACTERS",
                                           "log          Missing: NOAA-N"}));
}

TEST(SaveAndCheck, ChecksAtIdlePriorityAndRestoresIt)
{
    TSaveFolders folders;
    const int before = CurrentSchedulingPolicy();
    const int ioBefore = CurrentIoPriorityClass();
    TLines text = Set("ISS (ZARYA)", "25544");
    SaveAndCheck(folders.Host, folders.Host.Folders(), TLines(text), "g.txt");
    // Saved and the first status come before the check; the count line during it, when disk
    // access stays best effort rather than waiting for an idle disk.
    EXPECT_EQ(folders.Host.Policies, (std::vector<int>{before, before, SCHED_IDLE}));
    EXPECT_EQ(folders.Host.IoClasses.back(), ioBefore == IOPRIO_CLASS_NONE ? IOPRIO_CLASS_BE : ioBefore);
    EXPECT_EQ(CurrentSchedulingPolicy(), before);
    EXPECT_EQ(CurrentIoPriorityClass(), ioBefore);

    // /proc/self/mem is a file that exists but cannot be read from its start: logged, and the
    // check goes on.
    folders.Host.Historic = "/proc/self/";
    folders.Host.Extra = {"25544=mem"};
    folders.Host.Events.clear();
    SaveAndCheck(folders.Host, folders.Host.Folders(), TLines(text), "g.txt");
    EXPECT_EQ(folders.Host.LogLines(),
              (TLines{"   Saved: g.txt", "      Historic file not updated: mem (Input/output error)", "      1 satellites"}));
    EXPECT_EQ(CurrentSchedulingPolicy(), before);
    EXPECT_EQ(CurrentIoPriorityClass(), ioBefore);
}

struct TEpochCase {
    const char* What;
    TLines History;
    const char* NewEpoch;
    bool Appended;
};

TEST(SaveAndCheck, AppendsOnlyNewerSetsToHistoricFiles)
{
    const auto iss = [](const char* Epoch) { return TLines{LineOne("25544", Epoch), LineTwo("25544")}; };
    const TEpochCase cases[] = {
        {"equal epoch", iss("08264.51782528"), "08264.51782528", false},
        {"newer epoch", iss("08264.51782528"), "08264.51782529", true},
        {"older epoch", iss("08264.51782528"), "08264.51782527", false},
        {"no set of the satellite", {LineOne("27431", "09001.0"), LineTwo("27431")}, "08264.51782528", true},
        {"2000 follows 1999", iss("99365.90000000"), "00001.10000000", true},
        {"1999 precedes 2000", iss("00001.10000000"), "99365.90000000", false},
        {"57 is 1957, after 2056", iss("56365.90000000"), "57001.10000000", false},
        {"the last set counts", Joined({iss("08300.00000000"), iss("08200.00000000")}), "08264.00000000", true},
        {"unreadable last epoch", iss("08264.5X782528"), "08264.51782529", false},
        {"line 1 too short for an epoch", {"1 25544U"}, "08264.51782529", false},
    };
    for (const TEpochCase& c : cases) {
        SCOPED_TRACE(c.What);
        TSaveFolders folders;
        folders.Host.Checked = {"ISS-Zarya"};
        const std::string before = CrLf(c.History);
        WriteFile(folders.History("ISS-Zarya.txt"), before);
        TLines text = Set("ISS (ZARYA)", "25544", c.NewEpoch);
        SaveAndCheck(folders.Host, folders.Host.Folders(), TLines(text), "g.txt");

        const std::string after = ReadWholeFile(folders.History("ISS-Zarya.txt"));
        const TLines updated{"   Saved: g.txt", "      Updated historic: ISS-Zarya.txt", "      1 satellites"};
        const TLines untouched{"   Saved: g.txt", "      1 satellites"};
        EXPECT_EQ(after, c.Appended ? before + CrLf({text[1], text[2]}) : before);
        EXPECT_EQ(folders.Host.LogLines(), c.Appended ? updated : untouched);
    }
}

TEST(SaveAndCheck, KeepsTrailingEmptyLinesOfHistoricFiles)
{
    TSaveFolders folders;
    folders.Host.Checked = {"ISS-Zarya"};
    WriteFile(folders.History("ISS-Zarya.txt"), "old 1\nold 2\n\n\n");
    TLines text = Set("ISS (ZARYA)", "25544");
    SaveAndCheck(folders.Host, folders.Host.Folders(), TLines(text), "g.txt");
    EXPECT_EQ(ReadWholeFile(folders.History("ISS-Zarya.txt")), CrLf({"old 1", "old 2", "", "", text[1], text[2]}));
}

TEST(SaveAndCheck, LogsHistoricFilesInOrderAcrossSavedFiles)
{
    TSaveFolders folders;
    folders.Host.Checked = {"NOAA-19", "NOAA-99", "FY1C", "ISS-Zarya", "noaa-18"};
    folders.Host.Extra = {"27431=fy1d.txt", "2743=short.txt", "25544=gone.txt", "no entry"};
    const std::string old19 = CrLf({LineOne("33591", "08001.00000000"), LineTwo("33591")});
    const std::string iss = CrLf({LineOne("25544", "08264.51782528"), LineTwo("25544")});
    WriteFile(folders.History("NOAA-19.txt"), old19);
    WriteFile(folders.History("ISS-Zarya.txt"), iss);
    WriteFile(folders.History("fy1d.txt"), "");
    WriteFile(folders.History("short.txt"), "");
    WriteFile(folders.History("noaa-18.txt"), "");
    TLines text = Joined({Set("NOAA 19", "33591"), Set("ISS (ZARYA)", "25544"), Set("FENGYUN 1D", "27431"),
                          Set("NOAA 18", "28654")});
    SaveAndCheck(folders.Host, folders.Host.Folders(), TLines(text), "g.txt");
    SaveAndCheck(folders.Host, folders.Host.Folders(), TLines(text), "h.txt");
    folders.Host.ForgetLoggedOnce();
    SaveAndCheck(folders.Host, folders.Host.Folders(), TLines(text), "i.txt");

    EXPECT_EQ(
        folders.Host.LogLines(),
        (TLines{"   Saved: g.txt", "      Updated historic: NOAA-19.txt", "      Historic file not found: FY1C.txt",
                "      Updated historic: fy1d.txt", "      Historic file not found: gone.txt", "      4 satellites",
                "   Saved: h.txt", "      4 satellites", "   Saved: i.txt", "      Historic file not found: FY1C.txt",
                "      Historic file not found: gone.txt", "      4 satellites"}))
        << "a missing file is named once a run, not with every saved group";
    EXPECT_EQ(ReadWholeFile(folders.History("NOAA-19.txt")), old19 + CrLf({text[1], text[2]}));
    EXPECT_EQ(ReadWholeFile(folders.History("ISS-Zarya.txt")), iss);
    EXPECT_EQ(ReadWholeFile(folders.History("short.txt")), "");
    EXPECT_EQ(ReadWholeFile(folders.History("noaa-18.txt")), "");
}

TEST(SaveAndCheck, FolderTextsAreJoinedWithoutSeparator)
{
    TSaveFolders folders;
    folders.Host.Kepler = folders.Root.Path + "/keps";
    folders.Host.Historic = folders.Root.Path + "/hist";
    folders.Host.Checked = {"ISS-Zarya"};
    WriteFile(folders.Root.Path + "/histISS-Zarya.txt", "");
    TLines text = Set("ISS (ZARYA)", "25544");
    SaveAndCheck(folders.Host, folders.Host.Folders(), TLines(text), "g.txt");
    EXPECT_TRUE(FileExists(folders.Root.Path + "/kepsg.txt"));
    EXPECT_EQ(folders.Host.LogLines(),
              (TLines{"   Saved: g.txt", "      Updated historic: histISS-Zarya.txt", "      1 satellites"}));
}

} // namespace
} // namespace elsetry::test
