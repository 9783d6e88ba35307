// The optional settings file and its historic section.

#include "settings/SettingsFile.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>

namespace elsetry::test {
namespace {

namespace fs = std::filesystem;
using TLines = std::vector<std::string>;

TEST(SettingsFile, HistoricSectionOfTheFirstFileThatExists)
{
    const elsetry::test::TTempFolder folder;
    const std::string beside = folder.Path + "/elsetry.ini";
    const std::string config = folder.Path + "/config.ini";
    std::ofstream(config) << "[historic]\n11111=Other.txt\n";
    EXPECT_EQ(ReadSettingsSection({beside, config}, "historic"), TLines{"11111=Other.txt"});
    std::ofstream(beside) << "; extra historic files\n[Other]\n25544=No.txt\n[Historic]\n25544 = ISS (Zarya).txt\n"
                             "not an entry\n33591=NOAA 19.txt\n";
    EXPECT_EQ(ReadSettingsSection({beside, config}, "historic"), (TLines{"25544=ISS (Zarya).txt", "33591=NOAA 19.txt"}));

    ::setenv("XDG_CONFIG_HOME", "/home/u/.cfg", 1);
    EXPECT_EQ(SettingsFileCandidates("/opt/bin/elsetry"),
              (TLines{"/opt/bin/elsetry.ini", "/home/u/.cfg/Corriebrook/elsetry.ini"}));
    ::unsetenv("XDG_CONFIG_HOME");
}

} // namespace
} // namespace elsetry::test
