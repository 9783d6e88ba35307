// Answers that are not element sets, names that leave their folder, links and special files
// planted in the folders, oversized answers, future epochs and control characters: the user's
// files stay byte for byte, and nothing is written through a link.

#include "download/SaveAndCheck.h"

#include "download/ElementCheck.h"
#include "download/GroupFailure.h"
#include "platform/AnswerLimit.h"
#include "text/Lines.h"
#include "tests/download/RecordingHost.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <random>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace elsetry::test {
namespace {

using TLines = std::vector<std::string>;

const std::string Earlier = CrLf(Joined({Set("EARLIER 1", "11111"), Set("EARLIER 2", "22222")}));

// Every entry of a folder and what it holds: a link's target text, a regular file's bytes, or
// the kind of anything else.
std::map<std::string, std::string> Snapshot(const std::string& Folder)
{
    std::map<std::string, std::string> entries;
    for (const std::string& name : FolderNames(Folder)) {
        const std::string path = Folder + "/" + name;
        struct stat info {};
        ::lstat(path.c_str(), &info);
        if (S_ISLNK(info.st_mode))
            entries[name] = "link to " + std::filesystem::read_symlink(path).string();
        else if (S_ISREG(info.st_mode))
            entries[name] = ReadWholeFile(path) + " mode " + std::to_string(info.st_mode & 07777);
        else
            entries[name] = "kind " + std::to_string(info.st_mode & S_IFMT);
    }
    return entries;
}

std::string FailureOf(TRecordingHost& Host, TLines Text, const std::string& FileName)
{
    try {
        SaveAndCheck(Host, Text, FileName);
    } catch (const EGroupFailed& Failure) {
        return Failure.what();
    }
    return "saved";
}

TLines RandomBytesAsLines(std::size_t Bytes)
{
    std::mt19937 random(13);
    std::string bytes;
    for (std::size_t i = 0; i < Bytes; ++i)
        bytes += static_cast<char>(random());
    TLines lines;
    for (const std::string_view line : SplitLines(bytes))
        lines.emplace_back(line);
    return lines;
}

TLines LoginPage()
{
    return {"<!DOCTYPE html>", "<html><head><title>Login</title></head>", "<body>",
            "<form method='post' action='/perl/login.pl'>", "<input name='username'>",
            "<input name='password' type='password'>", "</form>", "</body></html>"};
}

TEST(SaveAndCheckHostile, AnswersThatAreNotElementSetsKeepTheEarlierFile)
{
    const TLines a = Set("SAT A", "11111");
    const TLines b = Set("SAT B", "22222");
    TLines manyJunk = Joined({a, LoginPage(), LoginPage()});
    struct TCase {
        const char* What;
        TLines Text;
        std::string Outcome;
    };
    const TCase cases[] = {
        {"a login page", LoginPage(), "not element sets"},
        {"an error page of three lines", {"<html>", "<body>Internal Server Error</body>", "</html>"}, "not element sets"},
        {"random bytes", RandomBytesAsLines(4096), "not element sets"},
        {"one set among a page of other lines", manyJunk, "not element sets"},
        {"nothing", {}, "not element sets"},
        {"sets under a CSV header", Joined({{"OBJECT_NAME,NORAD_CAT_ID"}, a, b}), "not element sets"},
        {"sets after a JSON opening", Joined({{"[{"}, a, b}), "not element sets"},
        {"half the lines are sets", Joined({a, b, {"x", "y", "z", "w", "v", "u"}}), "saved"},
        {"blank lines do not count against", Joined({a, TLines(30, ""), b}), "saved"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.What);
        TSaveFolders folders;
        WriteFile(folders.Group("g.txt"), Earlier);
        EXPECT_EQ(FailureOf(folders.Host, c.Text, "g.txt"), c.Outcome);
        if (c.Outcome != "saved") {
            EXPECT_EQ(ReadWholeFile(folders.Group("g.txt")), Earlier);
            EXPECT_EQ(FolderNames(folders.Host.Kepler), TLines{"g.txt"});
            EXPECT_TRUE(folders.Host.Events.empty());
        } else {
            EXPECT_EQ(folders.Host.LogLines().front(), "   Saved: g.txt");
        }
    }
}

TEST(SaveAndCheckHostile, NamesThatLeaveTheFolderAreRefused)
{
    const std::string names[] = {"../g.txt", "", ".", "..", ".hidden", "sub/g.txt", std::string("g\0.txt", 6)};
    for (const std::string& name : names) {
        SCOPED_TRACE(name);
        TSaveFolders folders;
        std::filesystem::create_directory(folders.Group("sub"));
        WriteFile(folders.Group("g.txt"), Earlier);
        const auto before = Snapshot(folders.Root.Path);
        EXPECT_EQ(FailureOf(folders.Host, Set("SAT A", "11111"), name), "not a plain file name");
        EXPECT_EQ(Snapshot(folders.Root.Path), before);
        EXPECT_EQ(ReadWholeFile(folders.Group("g.txt")), Earlier);
        EXPECT_TRUE(folders.Host.Events.empty());
    }
}

// What stands in the group or historic file's place, made beside the folders.
struct TPlanted {
    const char* What;
    std::function<bool(const std::string& Place, const std::string& Outside)> Plant; // false: skip
    std::string Reason;
};

std::vector<TPlanted> PlantedCases()
{
    return {
        {"a link to a file outside the folder",
         [](const std::string& Place, const std::string& Outside) {
             std::filesystem::create_symlink(Outside + "/precious.txt", Place);
             return true;
         },
         "a symbolic link"},
        {"a dangling link",
         [](const std::string& Place, const std::string& Outside) {
             std::filesystem::create_symlink(Outside + "/absent.txt", Place);
             return true;
         },
         "a symbolic link"},
        {"a link to a FIFO standing in for a device",
         [](const std::string& Place, const std::string& Outside) {
             std::filesystem::create_symlink(Outside + "/fifo", Place);
             return true;
         },
         "a symbolic link"},
        {"a FIFO", [](const std::string& Place, const std::string&) { return ::mkfifo(Place.c_str(), 0600) == 0; },
         "not a regular file"},
        {"a folder",
         [](const std::string& Place, const std::string&) { return std::filesystem::create_directory(Place); },
         "not a regular file"},
        {"a device node (needs root)",
         [](const std::string& Place, const std::string&) {
             return ::geteuid() == 0 && ::mknod(Place.c_str(), S_IFCHR | 0600, makedev(1, 3)) == 0;
         },
         "not a regular file"},
    };
}

// Beside the folders: a file a link may point to and a FIFO, neither of which may change.
void MakeOutside(const std::string& Outside)
{
    std::filesystem::create_directory(Outside);
    WriteFile(Outside + "/precious.txt", Earlier);
    ::chmod((Outside + "/precious.txt").c_str(), 0600);
    ::mkfifo((Outside + "/fifo").c_str(), 0600);
}

TEST(SaveAndCheckHostile, GroupFileThatIsALinkOrSpecialFileIsNotWrittenThrough)
{
    for (const TPlanted& c : PlantedCases()) {
        SCOPED_TRACE(c.What);
        TSaveFolders folders;
        const std::string outside = folders.Root.Path + "/outside";
        MakeOutside(outside);
        if (!c.Plant(folders.Group("g.txt"), outside))
            continue;
        const auto keps = Snapshot(folders.Root.Path + "/keps");
        const auto beside = Snapshot(outside);
        EXPECT_EQ(FailureOf(folders.Host, Set("SAT A", "11111"), "g.txt"), c.Reason);
        EXPECT_EQ(Snapshot(folders.Root.Path + "/keps"), keps);
        EXPECT_EQ(Snapshot(outside), beside);
        EXPECT_TRUE(folders.Host.Events.empty());
    }
}

TEST(SaveAndCheckHostile, HistoricFileThatIsALinkOrSpecialFileIsLeftAlone)
{
    for (const TPlanted& c : PlantedCases()) {
        SCOPED_TRACE(c.What);
        TSaveFolders folders;
        const std::string outside = folders.Root.Path + "/outside";
        MakeOutside(outside);
        if (!c.Plant(folders.History("ISS-Zarya.txt"), outside))
            continue;
        folders.Host.Checked = {"ISS-Zarya", "NOAA-19"};
        WriteFile(folders.History("NOAA-19.txt"), "");
        const auto beside = Snapshot(outside);
        const TLines text = Joined({Set("ISS (ZARYA)", "25544"), Set("NOAA 19", "33591")});
        EXPECT_EQ(FailureOf(folders.Host, text, "g.txt"), "saved");
        EXPECT_EQ(folders.Host.LogLines(),
                  (TLines{"   Saved: g.txt", "      Historic file not updated: ISS-Zarya.txt (" + c.Reason + ")",
                          "      Updated historic: NOAA-19.txt", "      2 satellites"}));
        EXPECT_EQ(Snapshot(outside), beside);
        EXPECT_EQ(FolderNames(folders.Host.Historic), (TLines{"ISS-Zarya.txt", "NOAA-19.txt"}));
    }
}

TEST(SaveAndCheckHostile, HistoricNamesThatLeaveTheFolderAreRefused)
{
    TSaveFolders folders;
    WriteFile(folders.Root.Path + "/outside.txt", Earlier);
    folders.Host.Extra = {"25544=../outside.txt", "25544=.hidden", "25544=", "25544=a\x1b[2Jb"};
    EXPECT_EQ(FailureOf(folders.Host, Set("ISS (ZARYA)", "25544"), "g.txt"), "saved");
    EXPECT_EQ(folders.Host.LogLines(),
              (TLines{"   Saved: g.txt", "      Historic file not updated: ../outside.txt (not a plain file name)",
                      "      Historic file not updated: .hidden (not a plain file name)",
                      "      Historic file not updated:  (not a plain file name)",
                      "      Historic file not found: a\\x1b[2Jb", "      1 satellites"}));
    EXPECT_EQ(ReadWholeFile(folders.Root.Path + "/outside.txt"), Earlier);
}

// 2008-09-20 12:00 UTC, the epoch 08264.50000000.
constexpr std::time_t RunTime = 1221912000;

TEST(SaveAndCheckHostile, SetsDatedFarAheadOfTheRunAreNotAppended)
{
    const struct {
        const char* Epoch;
        bool Appended;
    } cases[] = {
        {"08200.00000000", true},  {"08293.50000000", true},  {"08294.50000000", true}, // 30 days on
        {"08294.60000000", false}, {"08295.50000000", false}, {"56001.00000000", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Epoch);
        TSaveFolders folders;
        folders.Host.RunTime = RunTime;
        folders.Host.Checked = {"ISS-Zarya"};
        const std::string history = CrLf({LineOne("25544", "08100.00000000"), LineTwo("25544")});
        WriteFile(folders.History("ISS-Zarya.txt"), history);
        const TLines text = Set("ISS (ZARYA)", "25544", c.Epoch);
        EXPECT_EQ(FailureOf(folders.Host, text, "g.txt"), "saved");
        EXPECT_EQ(ReadWholeFile(folders.History("ISS-Zarya.txt")),
                  c.Appended ? history + CrLf({text[1], text[2]}) : history);
        const std::string historicLine = c.Appended
                                             ? "      Updated historic: ISS-Zarya.txt"
                                             : "      Historic file not extended: ISS-Zarya.txt (epoch in the future)";
        EXPECT_EQ(folders.Host.LogLines()[1], historicLine);
    }
}

TEST(SaveAndCheckHostile, OversizedTextIsRefusedAndMissingLinesAreCapped)
{
    TSaveFolders folders;
    WriteFile(folders.Group("g.txt"), Earlier);
    EXPECT_EQ(FailureOf(folders.Host, TLines(GroupLineLimit + 1, ""), "g.txt"), "too large");
    EXPECT_EQ(FailureOf(folders.Host, Joined({Set("SAT A", "11111"), {std::string(GroupTextLimitBytes, 'x')}}), "g.txt"),
              "too large");
    EXPECT_EQ(ReadWholeFile(folders.Group("g.txt")), Earlier);

    // Sets under one name load as one; the other names are reported, the first 50 of them.
    TLines text;
    for (int i = 0; i < MissingLinesShown + 13; ++i) {
        const TLines set = Set("A NAME LONGER THAN TWENTY-FOUR " + std::to_string(i), std::to_string(10000 + i));
        text.insert(text.end(), set.begin(), set.end());
    }
    EXPECT_EQ(FailureOf(folders.Host, text, "g.txt"), "saved");
    const TLines log = folders.Host.LogLines();
    ASSERT_EQ(log.size(), 2U + MissingLinesShown + 1U);
    EXPECT_EQ(log[2], "         Missing: A NAME LONGER THAN TWENTY-FOUR 0");
    EXPECT_EQ(log.back(), "         ... and 13 more");
}

TEST(SaveAndCheckHostile, ControlCharactersInNamesAreShownEscaped)
{
    TSaveFolders folders;
    // Two sets under one name make the count differ, so that names are looked up.
    TLines text = Joined({Set("SAT A", "11111"), Set("SAT A", "33333"),
                          Set("EVIL \x1b]0;owned\x07 NAME IS VERY LONG", "22222")});
    EXPECT_EQ(FailureOf(folders.Host, text, "g\x1b[31m.txt"), "saved");
    EXPECT_EQ(folders.Host.Events,
              (TLines{"log!    Saved: g\\x1b[31m.txt", "status Checking g\\x1b[31m.txt",
                      "status Checking g\\x1b[31m.txt data", "log       3 satellites, 2 unique names",
                      "log          Missing: EVIL \\x1b]0;owned\\x07 NAME IS VERY LONG"}));
    EXPECT_EQ(ReadWholeFile(folders.Group("g\x1b[31m.txt")), CrLf(text));
}

} // namespace
} // namespace elsetry::test
