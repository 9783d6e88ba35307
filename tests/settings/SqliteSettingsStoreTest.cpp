#include "settings/SqliteSettingsStore.h"

#include "tests/support/ChildProcess.h"
#include "tests/support/StoreFixture.h"

#include <fstream>
#include <sys/stat.h>

namespace elsetry::test {
namespace {

constexpr const char* ProgramKey = "\\Software\\Corriebrook\\Elsetry";

mode_t PermissionsOf(const std::string& Path)
{
    struct stat info {};
    EXPECT_EQ(::stat(Path.c_str(), &info), 0) << Path;
    return info.st_mode & 07777;
}

TEST_F(StoreTest, KeyPathsAndValueNamesIgnoreLetterCase)
{
    {
        auto store = Store();
        ASSERT_TRUE(store->OpenKey(ProgramKey, true));
        store->WriteString("KeplerPath", "/home/keps/");
    }
    auto store = Store();
    EXPECT_TRUE(store->KeyExists("\\SOFTWARE\\corriebrook\\ELSETRY"));
    ASSERT_TRUE(store->OpenKey("\\software\\CORRIEBROOK\\elsetry", false));
    EXPECT_TRUE(store->ValueExists("keplerpath"));
    EXPECT_EQ(store->ReadString("KEPLERPATH"), "/home/keps/");
    store->WriteString("keplerPATH", "/tmp/");
    EXPECT_EQ(store->ReadTree(ProgramKey).front().Values.size(), 1u);
    EXPECT_EQ(store->ReadString("KeplerPath"), "/tmp/");
}

TEST_F(StoreTest, KeysExistWithoutValuesAndAreCreatedOnlyWhenAllowed)
{
    auto store = Store();
    EXPECT_FALSE(store->KeyExists(ProgramKey));
    EXPECT_FALSE(store->OpenKey(ProgramKey, false));
    EXPECT_FALSE(store->KeyExists("\\Software")) << "a refused open creates nothing";
    ASSERT_TRUE(store->OpenKey(ProgramKey, true));
    EXPECT_TRUE(store->KeyExists("\\Software"));
    EXPECT_TRUE(store->KeyExists("\\Software\\Corriebrook\\"));
    EXPECT_TRUE(store->KeyExists(ProgramKey));
    EXPECT_TRUE(store->ReadTree(ProgramKey).front().Values.empty());
    // Relative paths go on from the current key.
    ASSERT_TRUE(store->OpenKey("Sub\\Deeper", true));
    EXPECT_TRUE(store->KeyExists("\\Software\\Corriebrook\\Elsetry\\Sub\\Deeper"));
}

TEST_F(StoreTest, ValuesKeepTheirKindAndReadsOfAnotherKindRaise)
{
    auto store = Store();
    ASSERT_TRUE(store->OpenKey(ProgramKey, true));
    store->WriteString("Text", "1");
    store->WriteBool("Flag", true);
    store->WriteInteger("Two", 2);
    EXPECT_THROW(store->ReadBool("Text"), ESettingsError);
    EXPECT_THROW(store->ReadString("Flag"), ESettingsError);
    EXPECT_THROW(store->ReadBool("Missing"), ESettingsError);
    EXPECT_EQ(store->ReadString("Missing"), "");
    EXPECT_TRUE(store->ReadBool("Flag"));
    EXPECT_TRUE(store->ReadBool("Two"));
    store->WriteBool("Text", false); // replaces the string, kind and all
    EXPECT_FALSE(store->ReadBool("Text"));
    store->WriteString("", "default value");
    EXPECT_EQ(store->ReadString(""), "default value");
    EXPECT_EQ(Stored(ProgramKey, "Two")->Integer, 2u);
}

TEST_F(StoreTest, DeleteValueAndDeleteKey)
{
    auto store = Store();
    for (const char* key : {"\\S\\C\\App", "\\S\\C\\App\\Sub", "\\S\\C\\App Paths", "\\S\\C\\Apple"}) {
        ASSERT_TRUE(store->OpenKey(key, true));
        store->WriteString("V", key);
    }
    EXPECT_TRUE(store->DeleteValue("v"));
    EXPECT_FALSE(store->DeleteValue("V"));
    EXPECT_TRUE(store->DeleteKey("\\s\\c\\APP"));
    EXPECT_FALSE(store->KeyExists("\\S\\C\\App"));
    EXPECT_FALSE(store->KeyExists("\\S\\C\\App\\Sub"));
    EXPECT_TRUE(store->KeyExists("\\S\\C\\App Paths"));
    EXPECT_EQ(StoredString("\\S\\C\\App Paths", "V"), "\\S\\C\\App Paths");
    EXPECT_EQ(StoredString("\\S\\C\\App\\Sub", "V"), "<missing>");
    EXPECT_FALSE(store->DeleteKey("\\")) << "the root stays";
}

TEST_F(StoreTest, TreeListsParentsFirstSiblingsByNameWithStoredSpelling)
{
    auto store = Store();
    for (const char* key : {"\\Software\\Corriebrook\\Swathgrab", "\\Software\\Corriebrook\\App Paths",
                            "\\software\\corriebrook\\Elsetry\\Sub", "\\Software\\Corriebrook\\App"})
        ASSERT_TRUE(store->OpenKey(key, true));
    store->WriteString("b", "2");
    store->WriteString("A", "1");
    std::vector<std::string> paths;
    for (const TStoredKey& key : store->ReadTree("\\Software\\Corriebrook"))
        paths.push_back(key.Path);
    EXPECT_EQ(paths, (std::vector<std::string>{"\\Software\\Corriebrook", "\\Software\\Corriebrook\\App",
                                               "\\Software\\Corriebrook\\App Paths", "\\Software\\Corriebrook\\Elsetry",
                                               "\\Software\\Corriebrook\\Elsetry\\Sub",
                                               "\\Software\\Corriebrook\\Swathgrab"}));
    const std::vector<TStoredValue> values = store->ReadTree("\\Software\\Corriebrook\\App").front().Values;
    ASSERT_EQ(values.size(), 2u);
    EXPECT_EQ(values[0].Name, "A");
    EXPECT_EQ(values[1].Name, "b");
    EXPECT_TRUE(store->ReadTree("\\Software\\Nobody").empty());
}

TEST_F(StoreTest, TransactionLandsWholeOrNotAtAll)
{
    auto store = Store();
    ASSERT_TRUE(store->OpenKey(ProgramKey, true));
    EXPECT_THROW(store->InTransaction([&] {
        store->WriteString("First", "1");
        throw ESettingsError("stop");
    }), ESettingsError);
    EXPECT_FALSE(store->ValueExists("First"));
    store->InTransaction([&] {
        store->WriteString("First", "1");
        store->WriteString("Second", "2");
    });
    EXPECT_EQ(StoredString(ProgramKey, "Second"), "2");
}

TEST_F(StoreTest, FileAndFolderAreOwnerOnly)
{
    const mode_t oldMask = ::umask(022);
    {
        auto store = Store();
        ASSERT_TRUE(store->OpenKey(ProgramKey, true));
        store->WriteString("Password", "secret");
        EXPECT_EQ(PermissionsOf(StoreFile), 0600u);
        EXPECT_EQ(PermissionsOf(StoreFile + "-wal"), 0600u);
    }
    EXPECT_EQ(PermissionsOf(Folder.Path + "/config/Corriebrook"), 0700u);
    ::chmod(StoreFile.c_str(), 0644);
    Store();
    EXPECT_EQ(PermissionsOf(StoreFile), 0600u) << "an existing store is narrowed: it holds passwords";
    ::umask(oldMask);
}

TEST_F(StoreTest, NotAStoreRaises)
{
    const std::string file = Folder.Path + "/garbage";
    std::ofstream(file) << "this is not a database, just some text long enough to be looked at\n";
    EXPECT_THROW(TSqliteSettingsStore{file}, ESettingsError);
    EXPECT_THROW(TSqliteSettingsStore{Folder.Path}, ESettingsError);
}

TEST_F(StoreTest, StorePathFromEnvironment)
{
    struct TCase {
        const char* Registry;
        const char* ConfigHome;
        const char* Home;
        std::string Expected;
    };
    const TCase cases[] = {
        {"/x/store.db", "/cfg", "/home/u", "/x/store.db"},
        {nullptr, "/cfg", "/home/u", "/cfg/Corriebrook/registry.sqlite3"},
        {"", "", "/home/u", "/home/u/.config/Corriebrook/registry.sqlite3"},
        {nullptr, "relative/cfg", "/home/u", "/home/u/.config/Corriebrook/registry.sqlite3"},
    };
    const std::string home = std::getenv("HOME") ? std::getenv("HOME") : "";
    for (const TCase& c : cases) {
        const auto set = [](const char* Name, const char* Value) {
            Value ? ::setenv(Name, Value, 1) : ::unsetenv(Name);
        };
        set(SettingsStoreVariable, c.Registry);
        set("XDG_CONFIG_HOME", c.ConfigHome);
        set("HOME", c.Home);
        EXPECT_EQ(SettingsStorePath(), c.Expected) << (c.Registry ? c.Registry : "(unset)");
    }
    ::setenv("HOME", home.c_str(), 1);
    ::unsetenv("XDG_CONFIG_HOME");
}

TEST_F(StoreTest, TwoProcessesWritingAtOnceLoseNothing)
{
    constexpr int Count = 100;
    const std::string key = "\\Software\\Corriebrook\\Shared";
    std::vector<FILE*> children;
    for (const char* prefix : {"first", "second", "third"})
        children.push_back(::popen(CommandLine(ELSETRY_SETTINGS_CHILD,
                                               {"write-values", key, prefix, std::to_string(Count)}).c_str(), "r"));
    for (FILE* child : children) {
        ASSERT_NE(child, nullptr);
        const int status = ::pclose(child);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    const std::vector<TStoredKey> tree = Store()->ReadTree(key);
    ASSERT_EQ(tree.size(), 1u);
    EXPECT_EQ(tree.front().Values.size(), 3u * Count);
    EXPECT_EQ(StoredString(key, "second" + std::to_string(Count - 1)), std::to_string(Count - 1));
}

} // namespace
} // namespace elsetry::test
