// Writes that fail, before they start and halfway through: the earlier files stay whole.

#include "download/sources/RunStops.h"
#include "elementfiles/SaveAndCheck.h"

#include "tests/download/RecordingHost.h"

#include <csignal>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

namespace elsetry::test {
namespace {

using TLines = std::vector<std::string>;

TLines ManySets(int Count)
{
    TLines lines;
    for (int i = 0; i < Count; ++i) {
        const TLines set = Set("SAT " + std::to_string(i), std::to_string(10000 + i));
        lines.insert(lines.end(), set.begin(), set.end());
    }
    return lines;
}

// Files may grow to Bytes in this process; with SIGXFSZ ignored a longer write fails with EFBIG,
// otherwise the process is killed in the middle of it.
void LimitFileSize(rlim_t Bytes, bool KillOnExcess)
{
    const rlimit limit{Bytes, Bytes};
    ::setrlimit(RLIMIT_FSIZE, &limit);
    std::signal(SIGXFSZ, KillOnExcess ? SIG_DFL : SIG_IGN);
}

TEST(SaveAndCheckFailure, UnwritableGroupFileFailsTheGroupBeforeAnyLog)
{
    const std::pair<const char*, const char*> cases[] = {{"folder text names a file", "/keps/file/"},
                                                         {"folder is missing", "/keps/no/"}};
    for (const auto& [what, kepler] : cases) {
        SCOPED_TRACE(what);
        TSaveFolders folders;
        std::filesystem::create_directory(folders.Group("g.txt"));
        WriteFile(folders.Group("file"), "");
        folders.Host.Kepler = folders.Root.Path + kepler;
        TLines text = Set("SAT A", "11111");

        try {
            SaveAndCheck(folders.Host, folders.Host.Folders(), TLines(text), "g.txt");
            ADD_FAILURE() << "no failure raised";
        } catch (const EGroupFailed& error) {
            EXPECT_TRUE(std::string(error.what()).starts_with("cannot write: ")) << error.what();
        }
        EXPECT_TRUE(folders.Host.Events.empty());
        EXPECT_EQ(FolderNames(folders.Root.Path + "/keps"), (TLines{"file", "g.txt"}));
    }
}

TEST(SaveAndCheckFailure, GroupWriteFailingHalfwayKeepsTheOldFile)
{
    const std::string old = CrLf(Set("OLD", "11111"));
    for (const bool killed : {false, true}) {
        SCOPED_TRACE(killed ? "killed" : "failed");
        TSaveFolders folders;
        WriteFile(folders.Group("g.txt"), old);
        TLines text = ManySets(200);
        const auto run = [&] {
            LimitFileSize(8192, killed);
            try {
                SaveAndCheck(folders.Host, folders.Host.Folders(), TLines(text), "g.txt");
            } catch (const EGroupFailed& error) {
                std::fprintf(stderr, "%s\n", error.what());
                std::_Exit(3);
            }
            std::_Exit(0);
        };
        if (killed)
            EXPECT_EXIT(run(), testing::KilledBySignal(SIGXFSZ), "");
        else
            EXPECT_EXIT(run(), testing::ExitedWithCode(3), "File too large");

        EXPECT_EQ(ReadWholeFile(folders.Group("g.txt")), old);
        for (const std::string& name : FolderNames(folders.Host.Kepler))
            EXPECT_TRUE(name == "g.txt" || (name.starts_with(".g.txt-") && name.ends_with(".tmp"))) << name;
    }
}

TEST(SaveAndCheckFailure, HistoricWriteFailingHalfwayKeepsTheFileAndGoesOn)
{
    TSaveFolders folders;
    folders.Host.Checked = {"ISS-Zarya", "NOAA-19"};
    const std::string bigHistory = CrLf(ManySets(200)); // about 29 kB, over the limit below
    WriteFile(folders.History("ISS-Zarya.txt"), bigHistory);
    WriteFile(folders.History("NOAA-19.txt"), "");
    TLines text = Joined({Set("ISS (ZARYA)", "25544"), Set("NOAA 19", "33591")});

    const auto run = [&] {
        LimitFileSize(16384, false);
        const TSaveResult saved = SaveAndCheck(folders.Host, folders.Host.Folders(), TLines(text), "g.txt");
        const TLines expected{"   Saved: g.txt", "      Historic file not updated: ISS-Zarya.txt (cannot write: File too large)",
                              "      Updated historic: NOAA-19.txt", "      2 satellites"};
        std::_Exit(folders.Host.LogLines() == expected && saved.HistoricFailures == 1 ? 0 : 1);
    };
    EXPECT_EXIT(run(), testing::ExitedWithCode(0), "");
    EXPECT_TRUE(ReadWholeFile(folders.History("ISS-Zarya.txt")) == bigHistory);
    EXPECT_EQ(ReadWholeFile(folders.History("NOAA-19.txt")), CrLf({text[4], text[5]}));
    EXPECT_EQ(FolderNames(folders.Host.Historic), (TLines{"ISS-Zarya.txt", "NOAA-19.txt"}));
}

} // namespace
} // namespace elsetry::test
