// The individual list as the window cleans it, and where the historic folder is looked for.

#include "download/FavouritesList.h"
#include "download/HistoricFolder.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>

namespace elsetry::test {
namespace {

namespace fs = std::filesystem;
using TLines = std::vector<std::string>;

TEST(FavouritesList, CleaningAndMemoLines)
{
    EXPECT_EQ(CleanFavourites({"7", "\t7 ", "07", "99999", "00000", "-5", "+5", "1e3", "", "000000000025544"}),
              (TLines{"000000000025544", "07", "7", "99999"}));
    EXPECT_EQ(MemoLines("25544\r\n7530\r33591\n"), (TLines{"25544", "7530", "33591"}));
}

TEST(HistoricFolder, CandidatesFromSwathgrabsFolderOrTheCurrentDirectory)
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
        {"neither exists", {"sg/bin"}, "sg/bin/swathgrab", "bin/Keps/Updates/"},
        {"not recorded, nothing found", {}, "", "bin/Keps/Updates/"},
        {"not recorded, one folder up from here", {"work/Keps/Updates"}, "", "work/Keps/Updates/"},
        {"not recorded, here, kept in full form", {"work/here/Keps/Updates"}, "", "work/here/Keps/Updates/"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.What);
        fs::remove_all(root.Path + "/sg");
        fs::remove_all(root.Path + "/work/Keps");
        fs::remove_all(root.Path + "/work/here/Keps");
        for (const std::string& folder : c.Folders)
            fs::create_directories(root.Path + "/" + folder);
        const std::string swathgrab = c.Swathgrab.empty() ? "" : root.Path + "/" + c.Swathgrab;
        EXPECT_EQ(DefaultHistoricFolder(root.Path + "/bin/", swathgrab), root.Path + "/" + c.Expected);
    }
    fs::current_path(before);
    EXPECT_EQ(WithTrailingSeparator(""), "/");
    EXPECT_EQ(WithTrailingSeparator("/data/"), "/data/");
}

} // namespace
} // namespace elsetry::test
