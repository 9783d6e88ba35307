#include "settings/RegistryVariables.h"

#include "tests/support/ChildProcess.h"
#include "tests/support/StoreFixture.h"

#include <fstream>
#include <functional>
#include <optional>

namespace elsetry::test {
namespace {

class RegistryVariablesTest : public StoreTest {
protected:
    // The program key of this test executable.
    std::string Key = ProgramKeyPath();
};

TEST(ProgramBaseName, FileNameWithoutFolderAndExtension)
{
    const std::pair<const char*, const char*> cases[] = {
        {"/usr/bin/Elsetry", "Elsetry"},       {"/opt/win/Elsetry.exe", "Elsetry"},
        {"/x/elsetry.tar.gz", "elsetry.tar"},  {"/x.d/Other", "Other"},
        {"Bare", "Bare"},                       {"/x/.hidden", ".hidden"},
    };
    for (const auto& [path, name] : cases)
        EXPECT_EQ(ProgramBaseNameOf(path), name) << path;
}

TEST_F(RegistryVariablesTest, FirstRunGivesDefaultsAndWritesOnlyChangedValues)
{
    {
        TRegistryString name("NameWeather", "Weather.txt");
        TRegistryBoolean get("GetWeather", true);
        TRegistryBoolean changed("GetAmateur", false);
        EXPECT_EQ(name.Value, "Weather.txt");
        EXPECT_TRUE(get.Value);
        changed.Value = true;
        EXPECT_FALSE(Store()->KeyExists(Key)) << "reading creates nothing";
    }
    EXPECT_EQ(StoredString(Key, "NameWeather"), "<missing>") << "an untouched default is not written";
    EXPECT_FALSE(Stored(Key, "GetWeather"));
    ASSERT_TRUE(Stored(Key, "GetAmateur"));
    EXPECT_EQ(Stored(Key, "GetAmateur")->Kind, TValueKind::Integer);
    EXPECT_EQ(Stored(Key, "GetAmateur")->Integer, 1u);
}

// Another writer (the user in a second window, an import) changes the store while a variable
// lives; the variable writes back only what its own program changed.
TEST_F(RegistryVariablesTest, AValueStoredMeanwhileIsNotRolledBack)
{
    struct TCase {
        const char* Name;
        bool ChangedHere;
        const char* Expected;
    };
    const TCase cases[] = {
        {"Password", false, "imported"},
        {"Username", true, "typed here"},
    };
    for (const TCase& c : cases) {
        {
            auto store = Store();
            ASSERT_TRUE(store->OpenKey(Key, true));
            store->WriteString(c.Name, "before");
        }
        {
            TRegistryString variable(c.Name, "");
            if (c.ChangedHere)
                variable.Value = "typed here";
            auto store = Store();
            ASSERT_TRUE(store->OpenKey(Key, true));
            store->WriteString(c.Name, "imported");
        }
        EXPECT_EQ(StoredString(Key, c.Name), c.Expected) << c.Name;
    }
    {
        TRegistryBoolean flag("GetWeather", false);
        auto store = Store();
        ASSERT_TRUE(store->OpenKey(Key, true));
        store->WriteInteger("GetWeather", 1);
    }
    EXPECT_EQ(Stored(Key, "GetWeather")->Integer, 1u);
}

TEST_F(RegistryVariablesTest, SaveWritesAtOnceAndOnlyOnce)
{
    TRegistryString name("NameWeather", "Weather.txt");
    name.Value = "Meteo.txt";
    name.Save();
    EXPECT_EQ(StoredString(Key, "NameWeather"), "Meteo.txt") << "a killed program keeps what was saved";
    {
        auto store = Store();
        ASSERT_TRUE(store->OpenKey(Key, true));
        store->WriteString("NameWeather", "imported.txt");
    }
    name.Save();
    EXPECT_EQ(StoredString(Key, "NameWeather"), "imported.txt") << "a saved value is not written again";
}

TEST_F(RegistryVariablesTest, ValueChangesOnlyInMemoryUntilDestruction)
{
    auto name = std::make_unique<TRegistryString>("Username", "");
    name->Value = "alice";
    EXPECT_EQ(StoredString(Key, "Username"), "<missing>");
    name.reset();
    EXPECT_EQ(StoredString(Key, "Username"), "alice");
    EXPECT_EQ(TRegistryString("Username", "bob").Value, "alice");
}

TEST_F(RegistryVariablesTest, StoredEmptyStringOverridesDefault)
{
    TRegistryString("NameAmateur", "x").Value = "";
    EXPECT_EQ(TRegistryString("NameAmateur", "Amateur.txt").Value, "");
}

TEST_F(RegistryVariablesTest, BooleansReadOnlyIntegersAndAreWrittenAsZeroOrOneWhenChanged)
{
    struct TCase {
        const char* Name;
        std::function<void(TSqliteSettingsStore&)> Put;
        bool Default;
        bool Expected;
        std::optional<bool> SetTo;
        std::string Left; // the stored value afterwards, as StoredValueText shows it
    };
    const TCase cases[] = {
        {"AsString", [](TSqliteSettingsStore& S) { S.WriteString("AsString", "1"); }, false, false, {}, "string 1"},
        {"AsTwo", [](TSqliteSettingsStore& S) { S.WriteInteger("AsTwo", 2); }, false, true, {}, "integer 2"},
        {"AsZero", [](TSqliteSettingsStore& S) { S.WriteInteger("AsZero", 0); }, true, false, {}, "integer 0"},
        {"Missing", [](TSqliteSettingsStore&) {}, true, true, {}, "missing"},
        {"TwoCleared", [](TSqliteSettingsStore& S) { S.WriteInteger("TwoCleared", 2); }, false, true, false, "integer 0"},
        {"MissingSet", [](TSqliteSettingsStore&) {}, false, false, true, "integer 1"},
    };
    for (const TCase& c : cases) {
        {
            auto store = Store();
            ASSERT_TRUE(store->OpenKey(Key, true));
            c.Put(*store);
        }
        {
            TRegistryBoolean flag(c.Name, c.Default);
            EXPECT_EQ(flag.Value, c.Expected) << c.Name;
            if (c.SetTo)
                flag.Value = *c.SetTo;
        }
        const std::optional<TStoredValue> left = Stored(Key, c.Name);
        const std::string text = !left ? "missing"
                                 : left->Kind == TValueKind::Integer ? "integer " + std::to_string(left->Integer)
                                                                     : "string " + left->Text;
        EXPECT_EQ(text, c.Left) << c.Name;
    }
}

TEST_F(RegistryVariablesTest, StringOverAnIntegerGivesDefault)
{
    {
        auto store = Store();
        ASSERT_TRUE(store->OpenKey(Key, true));
        store->WriteInteger("KeplerPath", 7);
    }
    EXPECT_EQ(TRegistryString("KeplerPath", "/default/").Value, "/default/");
    EXPECT_EQ(StoredString(Key, "KeplerPath"), "<not a string>") << "reading alone changes nothing";
}

TEST_F(RegistryVariablesTest, DeleteOnDestroyCreatesTheKeyAndLeavesTheValueAbsent)
{
    {
        TRegistryString old("MyFavouritesList", "");
        old.DeleteOnDestroy = true;
    }
    EXPECT_TRUE(Store()->KeyExists(Key));
    EXPECT_EQ(StoredString(Key, "MyFavouritesList"), "<missing>");
    EXPECT_FALSE(ProgramValueExists("MyFavouritesList"));
}

TEST_F(RegistryVariablesTest, VariableKeepsTheKeyItWasBuiltWith)
{
    {
        TRegistryString moved("Username", "");
        moved.Value = "carol";
        CompanyKey = "Elsewhere";
        SettingsRoot = HKEY_LOCAL_MACHINE;
    }
    CompanyKey = "Corriebrook";
    SettingsRoot = HKEY_CURRENT_USER;
    EXPECT_EQ(StoredString(Key, "Username"), "carol");
}

TEST_F(RegistryVariablesTest, ProgramValueExistsForAnyKind)
{
    EXPECT_FALSE(ProgramValueExists("Empty")) << "no program key yet";
    {
        auto store = Store();
        ASSERT_TRUE(store->OpenKey(Key, true));
        store->WriteString("Empty", "");
        store->WriteInteger("Number", 5);
    }
    EXPECT_TRUE(ProgramValueExists("Empty"));
    EXPECT_TRUE(ProgramValueExists("number"));
    EXPECT_FALSE(ProgramValueExists("Absent"));
}

TEST_F(RegistryVariablesTest, AppPathsKeepOneEntryWithTheLatestPath)
{
    EXPECT_EQ(ReadAppPath("Orbivue"), "");
    const std::string first = CopyOfChild(Folder.Path + "/one", "Orbivue");
    const std::string second = CopyOfChild(Folder.Path + "/two", "Orbivue");
    RunChild(first, {"register-app-path"});
    EXPECT_EQ(ReadAppPath("Orbivue"), first);
    RunChild(second, {"register-app-path"});
    EXPECT_EQ(ReadAppPath("ORBIVUE"), second);
    RegisterAppPath();
    EXPECT_EQ(ReadAppPath("settings_tests"), ExecutablePath());
    EXPECT_EQ(Store()->ReadTree("\\Software\\Corriebrook\\App Paths").front().Values.size(), 2u);
}

TEST_F(RegistryVariablesTest, AnExecutableOfAnotherNameUsesItsOwnKey)
{
    const std::string elsetry = CopyOfChild(Folder.Path + "/bin", "Elsetry");
    const std::string other = CopyOfChild(Folder.Path + "/bin", "Other.exe");
    RunChild(elsetry, {"save-string", "Username", "alice"});
    EXPECT_EQ(RunChild(other, {"read-string", "Username", "nobody"}), "nobody");
    RunChild(other, {"save-string", "Username", "bob"});
    EXPECT_EQ(StoredString("\\Software\\Corriebrook\\Other", "Username"), "bob");
    EXPECT_EQ(StoredString("\\Software\\Corriebrook\\Elsetry", "Username"), "alice");
    EXPECT_EQ(RunChild(elsetry, {"read-string", "Username", "nobody"}), "alice");
}

TEST_F(RegistryVariablesTest, AnExecutableReplacedWhileRunningKeepsItsKeyAndPath)
{
    const std::string elsetry = CopyOfChild(Folder.Path + "/bin", "Elsetry");
    RunChild(elsetry, {"--unlink-self", "save-string", "Username", "alice"});
    EXPECT_EQ(StoredString("\\Software\\Corriebrook\\Elsetry", "Username"), "alice");
    CopyOfChild(Folder.Path + "/bin", "Elsetry");
    RunChild(elsetry, {"--unlink-self", "register-app-path"});
    EXPECT_EQ(ReadAppPath("Elsetry"), elsetry);
}

TEST_F(RegistryVariablesTest, AnUnusableStoreGivesDefaultsAndWritesNothing)
{
    const std::string notAStore = Folder.Path + "/not-a-store";
    std::ofstream(notAStore) << "plain text, not a database; plain text, not a database\n";
    ::setenv(SettingsStoreVariable, notAStore.c_str(), 1);
    {
        TRegistryString name("NameGeo", "Geo.txt");
        TRegistryBoolean get("GetGeo", true);
        name.DeleteOnDestroy = true;
        EXPECT_EQ(name.Value, "Geo.txt");
        EXPECT_TRUE(get.Value);
    }
    RegisterAppPath();
    EXPECT_EQ(ReadAppPath("settings_tests"), "");
    EXPECT_FALSE(ProgramValueExists("NameGeo"));
}

} // namespace
} // namespace elsetry::test
