// The window's logic that needs no widgets: the individual list, folder texts, the system proxy,
// the settings file and the maker's other programs' settings.

#include "app/FavouritesList.h"
#include "app/HistoricFolder.h"
#include "platform/DesktopProxy.h"
#include "platform/MakerSettings.h"
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

TEST(FavouritesList, CleaningKeepsCatalogueNumbersSortedAsText)
{
    EXPECT_EQ(CleanFavourites({"  25544  ", "0", "100000", "abc", "007", "4793", "100"}),
              (TLines{"007", "100", "25544", "4793"}));
    EXPECT_EQ(CleanFavourites({"7", "\t7 ", "07", "99999", "00000", "-5", "+5", "1e3", "", "000000000025544"}),
              (TLines{"000000000025544", "07", "7", "99999"}));
    EXPECT_EQ(CleanFavourites({}), TLines{});
}

TEST(FavouritesList, MemoLinesLikeTheMemoShowsThem)
{
    EXPECT_EQ(MemoLines("25544\r\n7530\r33591\n"), (TLines{"25544", "7530", "33591"}));
    EXPECT_EQ(MemoLines(""), TLines{});
    EXPECT_EQ(MemoLines("\n"), TLines{""});
    EXPECT_EQ(MemoLines("a\n\nb"), (TLines{"a", "", "b"}));
    EXPECT_EQ(MemoText({"a", "", "b"}), "a\n\nb");
}

TEST(HistoricFolder, TrailingSeparator)
{
    EXPECT_EQ(WithTrailingSeparator(""), "/");
    EXPECT_EQ(WithTrailingSeparator("/data/keps"), "/data/keps/");
    EXPECT_EQ(WithTrailingSeparator("/data/keps/"), "/data/keps/");
}

class HistoricFolderTest : public ::testing::Test {
protected:
    void SetUp() override { Before = fs::current_path(); }
    void TearDown() override { fs::current_path(Before); }

    std::string Make(const std::string& Folder) const
    {
        fs::create_directories(Root.Path + "/" + Folder);
        return Root.Path + "/" + Folder;
    }

    elsetry::testing::TTempFolder Root;
    fs::path Before;
};

TEST_F(HistoricFolderTest, CandidatesFromSwathgrabsFolder)
{
    const std::string exe = Root.Path + "/bin/";
    struct TCase {
        const char* What;
        std::vector<std::string> Folders;
        std::string Swathgrab;
        std::string Expected;
    };
    const TCase cases[] = {
        {"beside Swathgrab", {"sg/Keps/Updates", "Keps/Updates"}, "sg/swathgrab", "sg/Keps/Updates/"},
        {"one folder up, '..' resolved", {"sg/Keps/Updates"}, "sg/bin/swathgrab", "sg/Keps/Updates/"},
        {"neither exists", {"sg/bin"}, "sg/bin/swathgrab", "bin/Keps/Updates/"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.What);
        fs::remove_all(Root.Path + "/sg");
        fs::remove_all(Root.Path + "/Keps");
        for (const std::string& folder : c.Folders)
            Make(folder);
        EXPECT_EQ(DefaultHistoricFolder(exe, Root.Path + "/" + c.Swathgrab), Root.Path + "/" + c.Expected);
    }
}

TEST_F(HistoricFolderTest, WithoutSwathgrabTheCandidatesAreResolvedAgainstTheCurrentDirectory)
{
    const std::string exe = Root.Path + "/bin/";
    fs::current_path(Make("work/here"));
    EXPECT_EQ(DefaultHistoricFolder(exe, ""), exe + "Keps/Updates/");
    Make("work/Keps/Updates");
    EXPECT_EQ(DefaultHistoricFolder(exe, ""), Root.Path + "/work/Keps/Updates/");
    Make("work/here/Keps/Updates");
    EXPECT_EQ(DefaultHistoricFolder(exe, ""), Root.Path + "/work/here/Keps/Updates/")
        << "kept in full form, so a later start elsewhere finds the same folder";
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
        {"ftp=files.lan:21;http=proxy.lan:3128", "proxy.lan", 3128},
        {"proxy.lan:8080", "proxy.lan", 8080},
        {"proxy.lan", "", 0},
        {"http=proxy.lan;https=secure.lan:443", "", 0},
        {"http=proxy.lan:port", "proxy.lan", 0},
        {"https=secure.lan:443;ftp=files.lan:21", "", 0},
        {"HTTP=proxy.lan:3128", "", 0},
        {"", "", 0},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.List);
        const TSystemProxy proxy = ParseProxyList(c.List, "http");
        EXPECT_EQ(proxy.Host, c.Host);
        EXPECT_EQ(proxy.Port, c.Port);
    }
}

TEST(SystemProxy, QueryThatIsMissingFailsOrNamesNoProxyGivesNothing)
{
    TInternetFunctions functions;
    EXPECT_EQ(GetSystemProxy(functions, "http").Host, "");
    functions.QueryProxyOption = [] { return std::optional<TProxyOption>(); };
    EXPECT_EQ(GetSystemProxy(functions, "http").Host, "");
    functions.QueryProxyOption = [] { return std::optional<TProxyOption>({InternetOpenTypeDirect, "proxy.lan:80"}); };
    EXPECT_EQ(GetSystemProxy(functions, "http").Host, "");
    functions.QueryProxyOption = [] { return std::optional<TProxyOption>({InternetOpenTypeProxy, "proxy.lan:80"}); };
    EXPECT_EQ(GetSystemProxy(functions, "http").Host, "proxy.lan");
    EXPECT_EQ(GetSystemProxy(functions, "http").Port, 80);
}

TEST(DesktopProxy, ListFromTheEnvironmentThenGnome)
{
    using TValues = std::map<std::string, std::string>;
    struct TCase {
        const char* What;
        TValues Environment;
        TValues Gnome; // "schema key" -> as gsettings prints it
        std::string Expected;
    };
    const TValues manual{{"org.gnome.system.proxy mode", "'manual'\n"},
                         {"org.gnome.system.proxy.http host", "'gnome.lan'\n"},
                         {"org.gnome.system.proxy.http port", "8080\n"},
                         {"org.gnome.system.proxy.https host", "''\n"},
                         {"org.gnome.system.proxy.https port", "0\n"}};
    const std::string same = "http://user:pa:ss@proxy.lan:3128/";
    const TCase cases[] = {
        {"nothing", {}, {}, ""},
        {"http only, address stripped", {{"http_proxy", same}}, {}, "http=proxy.lan:3128"},
        {"upper case", {{"HTTP_PROXY", "proxy.lan:3128"}}, {}, "http=proxy.lan:3128"},
        {"lower case first", {{"http_proxy", "low.lan:1"}, {"HTTP_PROXY", "up.lan:2"}}, {}, "http=low.lan:1"},
        {"the same for all", {{"http_proxy", same}, {"https_proxy", same}, {"ftp_proxy", same}}, {}, "proxy.lan:3128"},
        {"differing", {{"http_proxy", "a.lan:1"}, {"https_proxy", "https://b.lan:2"}}, {}, "http=a.lan:1;https=b.lan:2"},
        {"GNOME manual", {}, manual, "http=gnome.lan:8080"},
        {"GNOME off", {}, {{"org.gnome.system.proxy mode", "'none'\n"}}, ""},
        {"environment before GNOME", {{"https_proxy", "b.lan:2"}}, manual, "https=b.lan:2"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.What);
        const auto environment = [&](const char* Name) {
            const auto found = c.Environment.find(Name);
            return found == c.Environment.end() ? std::string() : found->second;
        };
        const auto gnome = [&](const std::string& Schema, const std::string& Key) {
            const auto found = c.Gnome.find(Schema + " " + Key);
            return found == c.Gnome.end() ? std::string() : found->second;
        };
        EXPECT_EQ(DesktopProxyList(environment, gnome), c.Expected);
    }
}

class SettingsFileTest : public ::testing::Test {
protected:
    std::string Write(const std::string& Name, const std::string& Text) const
    {
        const std::string path = Folder.Path + "/" + Name;
        fs::create_directories(fs::path(path).parent_path());
        std::ofstream(path) << Text;
        return path;
    }
    elsetry::testing::TTempFolder Folder;
};

TEST_F(SettingsFileTest, HistoricSectionOfTheFirstFileThatExists)
{
    const std::string beside = Folder.Path + "/bin/elsetry.ini";
    const std::string config = Write("config/elsetry.ini", "[historic]\n11111=Other.txt\n");
    EXPECT_EQ(ReadSettingsSection({beside, config}, "historic"), TLines{"11111=Other.txt"});
    Write("bin/elsetry.ini", "; extra historic files\n[Other]\n25544=No.txt\n[Historic]\n25544 = ISS (Zarya).txt\n"
                             "not an entry\n33591=NOAA 19.txt\n");
    EXPECT_EQ(ReadSettingsSection({beside, config}, "historic"), (TLines{"25544=ISS (Zarya).txt", "33591=NOAA 19.txt"}));
    EXPECT_EQ(ReadSettingsSection({Folder.Path + "/none.ini"}, "historic"), TLines{});
}

TEST(SettingsFile, CandidatesBesideTheExecutableThenInTheConfigFolder)
{
    ::setenv("XDG_CONFIG_HOME", "/home/u/.cfg", 1);
    EXPECT_EQ(SettingsFileCandidates("/opt/elsetry/bin/elsetry"),
              (TLines{"/opt/elsetry/bin/elsetry.ini", "/home/u/.cfg/Corriebrook/elsetry.ini"}));
    ::unsetenv("XDG_CONFIG_HOME");
}

class MakerSettingsTest : public elsetry::testing::StoreTest {};

TEST_F(MakerSettingsTest, StringValueOfAnotherProgramOrNothing)
{
    EXPECT_EQ(ReadMakerProgramSetting("Orbivue", "TwoLineDataPath"), "") << "no store yet";
    {
        auto store = Store();
        ASSERT_TRUE(store->OpenKey("\\Software\\Corriebrook\\Orbivue", true));
        store->WriteString("TwoLineDataPath", "/srv/keps/");
        store->WriteInteger("Number", 3);
    }
    EXPECT_EQ(ReadMakerProgramSetting("Orbivue", "TwoLineDataPath"), "/srv/keps/");
    EXPECT_EQ(ReadMakerProgramSetting("orbivue", "twolinedatapath"), "/srv/keps/");
    EXPECT_EQ(ReadMakerProgramSetting("Orbivue", "Number"), "");
    EXPECT_EQ(ReadMakerProgramSetting("Orbivue", "Missing"), "");
    EXPECT_EQ(ReadMakerProgramSetting("Swathgrab", "TwoLineDataPath"), "");
}

} // namespace
} // namespace elsetry::test
