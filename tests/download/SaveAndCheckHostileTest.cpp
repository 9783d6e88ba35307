// Answers that are not element sets, names that leave their folder, links and special files
// planted in the folders, oversized answers, future epochs and control characters: the user's
// files stay byte for byte, and nothing is written through a link.

#include "elementfiles/SaveAndCheck.h"

#include "elementfiles/ElementCheck.h"
#include "download/sources/RunStops.h"
#include "platform/AnswerLimit.h"
#include "text/Lines.h"
#include "tests/download/RecordingHost.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <set>
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
        SaveAndCheck(Host, Host.Folders(), std::move(Text), FileName);
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
        {"one set among a page of other lines", manyJunk, "damaged answer: line 5 is not line 1 of a set"},
        {"nothing", {}, "not element sets"},
        {"sets under a CSV header", Joined({{"OBJECT_NAME,NORAD_CAT_ID"}, a, b}), "not element sets"},
        {"sets after a JSON opening", Joined({{"[{"}, a, b}), "not element sets"},
        {"sets, then lines that are not", Joined({a, b, {"x", "y", "z", "w", "v", "u"}}),
         "damaged answer: line 8 is not line 1 of a set"},
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

// Set B of "SAT A", "SAT B" with its line 2 (or line 1) columns from Start replaced, checksum right.
TLines WithSetB(int Line, int Start, const std::string& Columns)
{
    TLines text = Joined({Set("SAT A", "11111"), Set("SAT B", "22222")});
    std::string& line = text[static_cast<std::size_t>(3 + Line)];
    line = WithChecksum(WithColumns(line, Start, Columns));
    return text;
}

TEST(SaveAndCheckHostile, DamagedAnswersKeepTheEarlierFile)
{
    const TLines good = Joined({Set("SAT A", "11111"), Set("SAT B", "22222")});
    TLines cut = good;
    cut[5].resize(40);
    TLines checksum = good;
    checksum[2].back() = checksum[2].back() == '9' ? '0' : static_cast<char>(checksum[2].back() + 1);
    TLines crossed = good;
    std::swap(crossed[2], crossed[5]);
    TLines shortLine = good;
    shortLine[5] = shortLine[5].substr(0, 63) + shortLine[5].substr(64);
    const struct {
        const char* What;
        TLines Text;
        const char* Reason;
    } cases[] = {
        {"the last line cut short", cut, "damaged answer: line 6 is cut short"},
        {"a wrong checksum", checksum, "damaged answer: line 3 has a wrong checksum"},
        {"line 2 of another satellite", crossed, "damaged answer: line 3 carries another catalogue number than its line 1"},
        {"line 2 one column short", shortLine, "damaged answer: line 6 is cut short"},
        {"a line too long", Joined({good, {"NAME", good[1] + "0", good[2]}}), "damaged answer: line 8 is too long"},
        {"a name line of 81 characters", Joined({good, Set(std::string(81, 'N'), "33333")}),
         "damaged answer: line 7 is too long for a name line"},
        {"a C1 control in a name", Joined({good, Set("SAT \xc2\x9b C", "33333")}),
         "damaged answer: line 7 holds a control character"},
        {"a DEL in a name", Joined({good, Set("SAT \x7f C", "33333")}), "damaged answer: line 7 holds a control character"},
        {"letters in the inclination", WithSetB(2, 9, " 51.64x6"),
         "damaged answer: line 6 holds no number for the inclination"},
        {"a blank inside the mean motion", WithSetB(2, 53, "15.7 125391"),
         "damaged answer: line 6 holds no number for the mean motion"},
        {"an exponent without its sign", WithSetB(1, 54, "-11606 4"),
         "damaged answer: line 5 holds no number for the drag term"},
        {"a shifted field", WithSetB(2, 8, "51.6416 "), "damaged answer: line 6 is not laid out as an element line"},
        {"a name line without its set", Joined({good, {"SAT C"}}), "damaged answer: line 7 ends the answer inside a set"},
        {"an element line where a name belongs", Joined({good, {good[1]}, Set("SAT C", "33333")}),
         "damaged answer: line 7 is an element line where a name line belongs"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.What);
        TSaveFolders folders;
        WriteFile(folders.Group("g.txt"), Earlier);
        EXPECT_EQ(FailureOf(folders.Host, c.Text, "g.txt"), c.Reason);
        EXPECT_EQ(ReadWholeFile(folders.Group("g.txt")), Earlier);
        EXPECT_EQ(FolderNames(folders.Host.Kepler), TLines{"g.txt"});
        EXPECT_TRUE(folders.Host.Events.empty());
    }
    // Letter-case, a "+" exponent, letter-form numbers and UTF-8 names pass.
    TSaveFolders folders;
    TLines fine = Joined({WithSetB(1, 54, " 11606+4"), Set("S\xc3\xa9T C", "A1234")});
    fine[7] = WithChecksum(WithColumns(fine[7], 8, "u"));
    EXPECT_EQ(FailureOf(folders.Host, fine, "g.txt"), "saved");
}

TEST(SaveAndCheckHostile, ImplausibleSetsAreLeftOut)
{
    const struct {
        const char* What;
        TLines Text;
        std::string Outcome; // "saved": the log line that follows "   Saved: g.txt"
    } cases[] = {
        {"an inclination of 999.9999", WithSetB(2, 9, "999.9999"),
         "      1 implausible set left out (first: line 6, inclination 999.9999 outside 0-180)"},
        {"a mean motion of 0", WithSetB(2, 53, " 0.00000000"),
         "      1 implausible set left out (first: line 6, mean motion 0.00000000 not within 0-20 revolutions a day)"},
        {"a mean motion of 20", WithSetB(2, 53, "20.00000000"),
         "      1 implausible set left out (first: line 6, mean motion 20.00000000 not within 0-20 revolutions a day)"},
        {"an epoch more than a day after the run", WithSetB(1, 19, "08265.50000100"),
         "      1 implausible set left out (first: line 5, epoch 08265.50000100 more than a day after the run)"},
        {"an epoch before 1957", WithSetB(1, 19, "57000.50000000"),
         "      1 implausible set left out (first: line 5, epoch 57000.50000000 before 1957)"},
        {"an epoch a day after the run", WithSetB(1, 19, "08265.50000000"), "      2 satellites"},
        {"an eccentricity of .9999999", WithSetB(2, 27, "9999999"), "      2 satellites"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.What);
        TSaveFolders folders;
        folders.Host.RunTime = RunTime;
        EXPECT_EQ(FailureOf(folders.Host, c.Text, "g.txt"), "saved");
        EXPECT_EQ(folders.Host.LogLines().at(1), c.Outcome);
        const bool leftOut = c.Outcome.find("left out") != std::string::npos;
        const TLines kept(c.Text.begin(), c.Text.begin() + (leftOut ? 3 : 6));
        EXPECT_EQ(ReadWholeFile(folders.Group("g.txt")), CrLf(kept));
    }
    TSaveFolders folders;
    folders.Host.RunTime = RunTime;
    WriteFile(folders.Group("g.txt"), Earlier);
    const TLines none = Joined({Set("SAT A", "11111", "08300.00000000"), Set("SAT B", "22222", "08301.00000000")});
    EXPECT_EQ(FailureOf(folders.Host, none, "g.txt"),
              "no plausible set; first left out: line 2, epoch 08300.00000000 more than a day after the run");
    EXPECT_EQ(ReadWholeFile(folders.Group("g.txt")), Earlier);
}

TEST(SaveAndCheckHostile, AnswersMustMatchTheirQuestion)
{
    const auto sets = [](int Count) {
        TLines lines;
        for (int i = 0; i < Count; ++i) {
            const TLines set = Set("SAT " + std::to_string(i), std::to_string(10000 + i));
            lines.insert(lines.end(), set.begin(), set.end());
        }
        return lines;
    };
    const struct {
        const char* What;
        int EarlierSets;
        int AnswerSets;
        std::set<int> Asked;
        std::string Outcome;
    } cases[] = {
        {"one set where the earlier file held 60000", 60000, 1, {}, "the answer holds 1 set, the earlier file 60000"},
        {"a tenth of the earlier file", 40, 4, {}, "saved"},
        {"less than a tenth", 40, 3, {}, "the answer holds 3 sets, the earlier file 40"},
        {"an earlier file of 19", 19, 1, {}, "saved"},
        {"a list query's answer is not compared", 60000, 1, {10000}, "saved"},
        {"a list query answered with others too", 0, 3, {10001, 99999}, "saved"},
        {"a list query answered with none asked for", 0, 3, {99999}, "none of the numbers asked for"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.What);
        TSaveFolders folders;
        std::string earlier;
        for (int i = 0; i < c.EarlierSets; ++i)
            earlier += "E\r\n" + IssLine1 + "\r\n" + IssLine2 + "\r\n";
        WriteFile(folders.Group("g.txt"), earlier);
        TLines text = sets(c.AnswerSets);
        std::string failure = "saved";
        try {
            SaveAndCheck(folders.Host, folders.Host.Folders(), TLines(text), "g.txt",
                         {c.Asked, std::nullopt, !c.Asked.empty()});
        } catch (const EGroupFailed& Failure) {
            failure = Failure.what();
        }
        EXPECT_EQ(failure, c.Outcome);
        if (c.Outcome != "saved") {
            EXPECT_EQ(ReadWholeFile(folders.Group("g.txt")), earlier);
        }
    }
    TSaveFolders folders;
    TLines text = sets(3);
    SaveAndCheck(folders.Host, folders.Host.Folders(), TLines(text), "g.txt", {{10001, 99999}, std::nullopt, true});
    EXPECT_EQ(folders.Host.LogLines(), (TLines{"   Saved: g.txt", "      2 sets not asked for left out (first: line 1, 10000)",
                                              "      1 satellites"}));
    EXPECT_EQ(ReadWholeFile(folders.Group("g.txt")), CrLf(Set("SAT 1", "10001")));
}

TEST(SaveAndCheckHostile, HistoricFilesAdmitOnlyCheckedSets)
{
    const struct {
        const char* What;
        TLines Text;
        const char* HistoricLine; // nullptr: the answer fails and the file stays
    } cases[] = {
        {"a newer set", Set("ISS (ZARYA)", "25544", "08200.00000000"), "      Updated historic: ISS-Zarya.txt"},
        {"an epoch a day after the run", Set("ISS (ZARYA)", "25544", "08265.50000000"),
         "      Updated historic: ISS-Zarya.txt"},
        {"an epoch later than that", Set("ISS (ZARYA)", "25544", "08265.60000000"), nullptr},
        {"a model that does not run", {"ISS (ZARYA)", LineOne("25544"), WithChecksum(WithColumns(LineTwo("25544"), 27, "9999999"))},
         "      Historic file not extended: ISS-Zarya.txt (the orbit model does not run)"},
        {"a damaged set after it", Joined({Set("ISS (ZARYA)", "25544"), {"X", IssLine1, IssLine1}}), nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.What);
        TSaveFolders folders;
        folders.Host.RunTime = RunTime;
        folders.Host.Checked = {"ISS-Zarya"};
        const std::string history = CrLf({LineOne("25544", "08100.00000000"), LineTwo("25544")});
        WriteFile(folders.History("ISS-Zarya.txt"), history);
        const bool saved = FailureOf(folders.Host, c.Text, "g.txt") == "saved";
        EXPECT_EQ(saved, c.HistoricLine != nullptr);
        const bool appended = saved && std::string(c.HistoricLine).find("Updated") != std::string::npos;
        EXPECT_EQ(ReadWholeFile(folders.History("ISS-Zarya.txt")), appended ? history + CrLf({c.Text[1], c.Text[2]}) : history);
        if (saved) {
            EXPECT_EQ(folders.Host.LogLines().at(1), c.HistoricLine);
        }
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
    // A name with control characters damages the answer; the file name is shown escaped.
    TLines text = Joined({Set("SAT A", "11111"), Set("SAT A", "33333"),
                          Set("EVIL \x1b]0;owned\x07 NAME IS VERY LONG", "22222")});
    EXPECT_EQ(FailureOf(folders.Host, text, "g.txt"), "damaged answer: line 7 holds a control character");
    text[6] = "EVIL \\ NAME IS MUCH TOO LONG";
    EXPECT_EQ(FailureOf(folders.Host, text, "g\x1b[31m.txt"), "saved");
    EXPECT_EQ(folders.Host.Events,
              (TLines{"log!    Saved: g\\x1b[31m.txt", "status Checking g\\x1b[31m.txt",
                      "status Checking g\\x1b[31m.txt data", "log       3 satellites, 2 unique names",
                      "log          Missing: EVIL \\\\ NAME IS MUCH TOO LONG"}));
    EXPECT_EQ(ReadWholeFile(folders.Group("g\x1b[31m.txt")), CrLf(text));
}

} // namespace
} // namespace elsetry::test
