// The individual list as the window cleans it, and where the historic folder is looked for.

#include "download/sources/FavouritesList.h"
#include "elementfiles/HistoricFile.h"
#include "elementfiles/HistoricFolder.h"
#include "platform/TextFile.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <algorithm>
#include <map>

namespace elsetry::test {
namespace {

namespace fs = std::filesystem;
using TLines = std::vector<std::string>;

TEST(FavouritesList, CleaningAndMemoLines)
{
    const struct {
        TLines Lines;
        TLines Clean;
    } cases[] = {
        {{"7", "\t7 ", "07", "99999", "00000", "-5", "+5", "1e3", "", "000000000025544"},
         {"7", "000000000025544", "99999"}},
        {{"07", "7"}, {"07"}},
        {{"E8493", "148493", "e8493"}, {"E8493"}},
        {{"148493", "E8493"}, {"148493"}},
        {{"100000", "148493", "25544", "99999", "E8493", "Z9999"}, {"25544", "99999", "100000", "148493", "Z9999"}},
        {{"12,13", "25338 28654", " 7530,\t,33591 ", ",,"}, {"12", "13", "7530", "25338", "28654", "33591"}},
        {{"12;13", "25544 abc"}, {"25544"}},
        {{"340000", "999999999", "1000000000", "0123456789", "123456789", "E8493", "340000"},
         {"E8493", "340000", "0123456789", "999999999"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CleanFavourites(c.Lines), c.Clean) << ::testing::PrintToString(c.Lines);
    EXPECT_EQ(MemoLines("25544\r\n7530\r33591\n"), (TLines{"25544", "7530", "33591"}));
}

TEST(FavouritesList, NoteSaysWhatLeavingTheMemoDrops)
{
    const std::string range = " (1 to 999999999, or E8493 and the like)";
    const struct {
        TLines Lines;
        std::string Note;
    } cases[] = {
        {{"25544", " 7530 ", "", "E8493", "339999", "07"}, ""},
        {{"25544 7530", "33591,E8493"}, ""},
        {{"148493", "E8493", "07", "7"}, "Removed repeats of \"148493\", \"07\""},
        {{"12;13"}, "Removed \"12;13\": not a catalogue number" + range},
        {{"25544", "abc"}, "Removed \"abc\": not a catalogue number" + range},
        {{"0", "1000000000", "1e3", "-5"},
         "Removed \"0\", \"1000000000\", \"1e3\", \"-5\": not catalogue numbers" + range},
        {{"340000", "999999999", "000340000"}, "Removed repeats of \"340000\""},
        {{"25544", " 25544", "e8493", "E8493", "25544"}, "Removed repeats of \"25544\", \"E8493\""},
        {{"x", "7", "7"}, "Removed \"x\": not a catalogue number" + range + "; removed repeats of \"7\""},
        {{"a", "b", "c", "d", "e", "f", "g"},
         "Removed \"a\", \"b\", \"c\", \"d\", \"e\" and 2 more: not catalogue numbers" + range},
        {{"a\x1b[2J"}, "Removed \"a\\x1b[2J\": not a catalogue number" + range},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.Lines));
        EXPECT_EQ(DroppedFavouritesNote(c.Lines), c.Note);
        std::size_t entries = 0;
        for (const std::string& line : c.Lines)
            for (std::size_t at = 0; (at = line.find_first_not_of(" \t,", at)) != std::string::npos; ++entries)
                at = line.find_first_of(" \t,", at);
        EXPECT_EQ(c.Note.empty(), CleanFavourites(c.Lines).size() == entries)
            << "a note exactly when an entry is dropped";
    }
}

TEST(HistoricFile, CreatesOnlyMissingFilesOfTheTableAndNeverWritesThroughALink)
{
    const elsetry::test::TTempFolder root;
    const std::string folder = root.Path + "/hist/";
    fs::create_directory(folder);
    std::ofstream(folder + "NOAA-18.txt") << "kept\n";
    fs::create_symlink(root.Path + "/elsewhere.txt", folder + "NOAA-19.txt");
    fs::create_symlink(folder + "NOAA-18.txt", folder + "NOAA-17.txt");
    fs::create_directory(folder + "FY1C.txt");

    EXPECT_EQ(CreateHistoricFiles(folder, {"FY1C", "ISS-Zarya", "NOAA-17", "NOAA-18", "NOAA-19", "Unknown"}),
              (TLines{"FY1C.txt: not a regular file, left alone", "Created ISS-Zarya.txt",
                      "NOAA-17.txt: a symbolic link, left alone", "NOAA-18.txt is there already",
                      "NOAA-19.txt: a symbolic link, left alone"}));
    EXPECT_EQ(ReadWholeFile(folder + "ISS-Zarya.txt"), "");
    EXPECT_EQ(ReadWholeFile(folder + "NOAA-18.txt"), "kept\n");
    EXPECT_FALSE(fs::exists(root.Path + "/elsewhere.txt")) << "a dangling link is not followed";
    EXPECT_FALSE(fs::exists(folder + "Unknown.txt"));
    EXPECT_EQ(CreateHistoricFiles(folder, {"ISS-Zarya"}), TLines{"ISS-Zarya.txt is there already"});
    EXPECT_EQ(CreateHistoricFiles(root.Path + "/none/", {"NOAA-15"}),
              TLines{"NOAA-15.txt not created: No such file or directory"});
}

TEST(HistoricFolder, CandidatesFromSwathgrabsFolderOrTheProgramsOwn)
{
    const elsetry::test::TTempFolder root;
    const fs::path before = fs::current_path();
    fs::create_directories(root.Path + "/work/here");
    fs::current_path(root.Path + "/work/here");
    struct TCase {
        const char* What;
        std::vector<std::string> Folders;
        std::string Swathgrab;
        std::string Expected;
    };
    const TCase cases[] = {
        {"beside Swathgrab", {"sg/Keps/Updates", "work/Keps/Updates"}, "sg/swathgrab", "sg/Keps/Updates/"},
        {"one folder up, '..' resolved", {"sg/Keps/Updates"}, "sg/bin/swathgrab", "sg/Keps/Updates/"},
        {"neither exists", {"sg/bin"}, "sg/bin/swathgrab", "~/.local/share/elsetry/historic/"},
        {"not recorded", {}, "", "~/.local/share/elsetry/historic/"},
        {"not recorded, the current directory is not looked at",
         {"work/Keps/Updates", "work/here/Keps/Updates"},
         "",
         "~/.local/share/elsetry/historic/"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.What);
        fs::remove_all(root.Path + "/sg");
        fs::remove_all(root.Path + "/work/Keps");
        fs::remove_all(root.Path + "/work/here/Keps");
        for (const std::string& folder : c.Folders)
            fs::create_directories(root.Path + "/" + folder);
        const std::string swathgrab = c.Swathgrab.empty() ? "" : root.Path + "/" + c.Swathgrab;
        EXPECT_EQ(DefaultHistoricFolder(swathgrab),
                  c.Expected.starts_with("~") ? c.Expected : root.Path + "/" + c.Expected);
    }
    fs::current_path(before);
}

TEST(HistoricFolder, FolderTexts)
{
    const struct {
        std::string Text;
        std::string Separated;
        std::string Expanded;
    } cases[] = {
        {"", "", ""},
        {"/data/", "/data/", "/data/"},
        {"/data", "/data/", "/data"},
        {"~", "~/", "/home/me"},
        {"~/keps", "~/keps/", "/home/me/keps"},
        {"~/", "~/", "/home/me/"},
        {"~me/keps", "~me/keps/", "~me/keps"},
        {"keps/~/", "keps/~/", "keps/~/"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Text);
        EXPECT_EQ(WithTrailingSeparator(c.Text), c.Separated);
        EXPECT_EQ(ExpandHome(c.Text, "/home/me"), c.Expanded);
        EXPECT_EQ(ExpandHome(c.Text, "/home/me/"), c.Text == "~" ? "/home/me/" : c.Expanded) << "no doubled separator";
    }
}

TEST(HistoricFolder, ChooserStartsAtTheNearestFolderThatExists)
{
    const elsetry::test::TTempFolder root;
    fs::create_directories(root.Path + "/home/keps");
    std::ofstream(root.Path + "/home/file.txt") << "";
    const std::string home = root.Path + "/home";
    const std::pair<std::string, std::string> cases[] = {
        {root.Path + "/home/keps/", home + "/keps/"},
        {root.Path + "/home/keps/new/deeper/", home + "/keps/"},
        {root.Path + "/home/keps/../none", home + "/"},
        {root.Path + "/home/file.txt/x/", home + "/"},
        {"~/keps/new", home + "/keps/"},
        {"/nonexistent/folder/", home + "/"},
        {"keps/", home + "/"},
        {"", home + "/"},
    };
    for (const auto& [folder, start] : cases)
        EXPECT_EQ(NearestExistingFolder(folder, home), start) << folder;
}

} // namespace
} // namespace elsetry::test
