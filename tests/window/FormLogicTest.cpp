// The window's logic that needs no widgets: the individual list, the historic folder, the system
// proxy and the settings file.

#include "app/FavouritesList.h"
#include "app/HistoricFolder.h"
#include "platform/DesktopProxy.h"
#include "platform/SettingsFile.h"
#include "platform/SystemProxy.h"
#include "tests/settings/StoreFixture.h"

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
    EXPECT_EQ(MemoLines(""), TLines{});
    EXPECT_EQ(MemoLines("a\n\nb"), (TLines{"a", "", "b"}));
}

TEST(HistoricFolder, CandidatesFromSwathgrabsFolderOrTheCurrentDirectory)
{
    const elsetry::testing::TTempFolder root;
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

TEST(SystemProxy, ProxyListForms)
{
    struct TCase {
        const char* List;
        std::string Host;
        int Port;
    };
    const TCase cases[] = {
        {"http=proxy.lan:3128;https=secure.lan:443;ftp=files.lan:21", "proxy.lan", 3128},
        {"proxy.lan:8080", "proxy.lan", 8080},
        {"proxy.lan", "", 0},
        {"http=proxy.lan:port", "proxy.lan", 0},
        {"https=secure.lan:443;ftp=files.lan:21", "", 0},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.List);
        const TSystemProxy proxy = ParseProxyList(c.List, "http");
        EXPECT_EQ(proxy.Host, c.Host);
        EXPECT_EQ(proxy.Port, c.Port);
    }
    TInternetFunctions functions;
    EXPECT_EQ(GetSystemProxy(functions, "http").Host, "") << "no query";
    functions.QueryProxyOption = [] { return std::optional<TProxyOption>({InternetOpenTypeDirect, "proxy.lan:80"}); };
    EXPECT_EQ(GetSystemProxy(functions, "http").Host, "") << "no named proxy";
}

TEST(DesktopProxy, ListFromTheEnvironmentThenGnome)
{
    using TValues = std::map<std::string, std::string>;
    const TValues manual{{"org.gnome.system.proxy mode", "'manual'\n"},
                         {"org.gnome.system.proxy.http host", "'gnome.lan'\n"},
                         {"org.gnome.system.proxy.http port", "8080\n"}};
    const std::string same = "http://user:pa:ss@proxy.lan:3128/";
    const std::pair<TValues, std::string> cases[] = {
        {{}, ""},
        {{{"http_proxy", same}}, "http=proxy.lan:3128"},
        {{{"http_proxy", same}, {"HTTPS_PROXY", same}, {"ftp_proxy", same}}, "proxy.lan:3128"},
        {{{"http_proxy", "a.lan:1"}, {"https_proxy", "https://b.lan:2"}}, "http=a.lan:1;https=b.lan:2"},
    };
    for (const bool gnome : {false, true}) {
        for (const auto& [variables, expected] : cases) {
            const auto environment = [&](const char* Name) { return variables.count(Name) ? variables.at(Name) : ""; };
            const auto settings = [&](const std::string& Schema, const std::string& Key) {
                return gnome && manual.count(Schema + " " + Key) ? manual.at(Schema + " " + Key) : "";
            };
            const std::string list = DesktopProxyList(environment, settings);
            EXPECT_EQ(list, gnome && variables.empty() ? "http=gnome.lan:8080" : expected);
        }
    }
}

TEST(SettingsFile, HistoricSectionOfTheFirstFileThatExists)
{
    const elsetry::testing::TTempFolder folder;
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
