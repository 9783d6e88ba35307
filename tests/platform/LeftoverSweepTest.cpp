// The sweep of temporaries a killed run left behind: exact names, age, owner, and links planted
// under such names.

#include "platform/LeftoverSweep.h"
#include "platform/TempFile.h"
#include "platform/TextFile.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <utime.h>
#include <sys/stat.h>
#include <unistd.h>

namespace elsetry::test {
namespace {

constexpr std::time_t Now = 2'000'000'000;
constexpr std::time_t TwoDaysAgo = Now - 2 * LeftoverAge;
constexpr std::time_t AnHourAgo = Now - 60 * 60;

void Plant(const std::string& Path, const std::string& Text, std::time_t Changed)
{
    std::ofstream(Path, std::ios::binary) << Text;
    const ::utimbuf times{Changed, Changed};
    ASSERT_EQ(::utime(Path.c_str(), &times), 0) << Path;
}

TEST(LeftoverSweep, NamesMatchExactlyWhatTheProgramWrites)
{
    const std::pair<const char*, bool> replacements[] = {
        {".Weather.txt-0a1b2c3d.tmp", true}, {".x-00000000.tmp", true},
        {"Weather.txt-0a1b2c3d.tmp", false}, {".Weather.txt-0A1B2C3D.tmp", false},
        {".Weather.txt-0a1b2c3.tmp", false}, {".Weather.txt0a1b2c3d.tmp", false},
        {".-0a1b2c3d.tmp", false},           {".Weather.txt-0a1b2c3d.tmp~", false},
        {".bashrc", false},                  {"Weather.txt", false},
    };
    for (const auto& [name, expected] : replacements)
        EXPECT_EQ(IsReplacementLeftover(name), expected) << name;
    const std::pair<const char*, bool> downloads[] = {
        {"Kep0.gz", true},
        {"KepFFFF.gz", true},
        {"Kep1A2B.gz", true},
        {"Kep.gz", false},
        {"Kep1a.gz", false},
        {"Kep0123456789ABCDEF.gz", true},
        {"Kep0123456789ABCDEF0.gz", false},
        {"Kep12.gz.x", false},
        {"kep12.gz", false},
        {"Weather.gz", false},
    };
    for (const auto& [name, expected] : downloads)
        EXPECT_EQ(IsDownloadLeftover(name), expected) << name;
    TTempFolder folder;
    EXPECT_TRUE(IsDownloadLeftover(FileNameOf(TKepTempFile(folder.Path).Path())));
}

TEST(LeftoverSweep, OnlyOldRegularFilesOfTheUserGoAndLinksAreNotFollowed)
{
    TTempFolder folder;
    TTempFolder elsewhere;
    const std::string victim = elsewhere.Path + "/.profile-00000001.tmp";
    Plant(victim, "the user's own file\n", TwoDaysAgo);
    const std::string& f = folder.Path;
    Plant(f + "/.Weather.txt-0a1b2c3d.tmp", "stale", TwoDaysAgo);
    Plant(f + "/.Amateur.txt-11111111.tmp", "a run writing now", AnHourAgo);
    Plant(f + "/Weather.txt", "kept", TwoDaysAgo);
    Plant(f + "/.notes-0a1b2c3d.tmp.bak", "kept", TwoDaysAgo);
    ASSERT_EQ(::symlink(victim.c_str(), (f + "/.Link.txt-22222222.tmp").c_str()), 0);
    std::filesystem::create_directory(f + "/.Folder-33333333.tmp");
    struct TExpected {
        const char* Name;
        bool Stays;
    };
    const TExpected expected[] = {
        {".Weather.txt-0a1b2c3d.tmp", false}, {".Amateur.txt-11111111.tmp", true}, {"Weather.txt", true},
        {".notes-0a1b2c3d.tmp.bak", true},    {".Link.txt-22222222.tmp", true},    {".Folder-33333333.tmp", true},
    };
    EXPECT_EQ(SweepLeftovers(f, IsReplacementLeftover, Now - LeftoverAge), 1);
    for (const TExpected& e : expected) {
        struct stat info {};
        EXPECT_EQ(::lstat((f + "/" + e.Name).c_str(), &info) == 0, e.Stays) << e.Name;
    }
    EXPECT_EQ(ReadWholeFile(victim), "the user's own file\n") << "a link is not followed";
    EXPECT_EQ(ReadWholeFile(f + "/Weather.txt"), "kept");
}

TEST(LeftoverSweep, AnotherUsersFileStays)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root to give a file away";
    TTempFolder folder;
    const std::string path = folder.Path + "/Kep1234.gz";
    Plant(path, "someone else's", TwoDaysAgo);
    ASSERT_EQ(::chown(path.c_str(), 65534, 65534), 0);
    EXPECT_EQ(SweepLeftovers(folder.Path, IsDownloadLeftover, Now - LeftoverAge), 0);
    EXPECT_EQ(ReadWholeFile(path), "someone else's");
}

TEST(LeftoverSweep, NoFolderIsNotTheWorkingFolder)
{
    TTempFolder folder;
    const std::string working = std::filesystem::current_path();
    std::filesystem::current_path(folder.Path);
    Plant(folder.Path + "/Kep1.gz", "x", TwoDaysAgo);
    EXPECT_EQ(SweepLeftovers("", IsDownloadLeftover, Now), 0);
    EXPECT_EQ(SweepLeftovers(folder.Path + "/missing", IsDownloadLeftover, Now), 0);
    std::filesystem::current_path(working);
    EXPECT_TRUE(std::filesystem::exists(folder.Path + "/Kep1.gz"));
}

} // namespace
} // namespace elsetry::test
