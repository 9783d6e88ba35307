// The user's configuration folder, and that the settings store and the settings file both use it.

#include "settings/ConfigFolder.h"
#include "settings/SettingsFile.h"
#include "settings/SqliteSettingsStore.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <pwd.h>
#include <string>
#include <unistd.h>

namespace elsetry::test {
namespace {

// Sets or unsets (nullptr) an environment variable for the object's life.
class TVariable {
public:
    TVariable(const char* Name, const char* Value) : VariableName(Name)
    {
        if (const char* old = std::getenv(Name))
            Saved = old;
        Set(Value);
    }
    ~TVariable() { Set(Saved ? Saved->c_str() : nullptr); }
    TVariable(const TVariable&) = delete;
    TVariable& operator=(const TVariable&) = delete;

    void Set(const char* Value) const
    {
        Value ? ::setenv(VariableName, Value, 1) : ::unsetenv(VariableName);
    }

private:
    const char* VariableName;
    std::optional<std::string> Saved;
};

// The config folder under the home folder the password database gives; none without an entry.
std::optional<std::string> FromPasswordDatabase()
{
    const passwd* entry = ::getpwuid(::getuid());
    return entry && entry->pw_dir ? std::optional<std::string>(std::string(entry->pw_dir) + "/.config") : std::nullopt;
}

TEST(ConfigFolder, OneRuleForTheStoreAndTheSettingsFile)
{
    struct TCase {
        const char* ConfigHome; // nullptr: unset
        const char* Home;
        std::optional<std::string> Expected; // none: no folder can be found
    };
    const std::optional<std::string> database = FromPasswordDatabase();
    const TCase cases[] = {
        {nullptr, "/home/u", "/home/u/.config"},
        {"", "/home/u", "/home/u/.config"},
        {"/cfg", "/home/u", "/cfg"},
        {"relative/cfg", "/home/u", "/home/u/.config"},
        {"./cfg", "/home/u", "/home/u/.config"},
        {"/cfg", nullptr, "/cfg"},
        {nullptr, nullptr, database},
        {"relative/cfg", "", database},
    };
    const TVariable store(SettingsStoreVariable, nullptr);
    TVariable configHome("XDG_CONFIG_HOME", nullptr);
    TVariable home("HOME", nullptr);
    for (const TCase& c : cases) {
        configHome.Set(c.ConfigHome);
        home.Set(c.Home);
        const std::string label = std::string("XDG_CONFIG_HOME=") + (c.ConfigHome ? c.ConfigHome : "(unset)") +
                                  " HOME=" + (c.Home ? c.Home : "(unset)");
        const std::vector<std::string> files = SettingsFileCandidates("/opt/bin/elsetry");
        if (!c.Expected) {
            EXPECT_THROW(UserConfigFolder(), ESettingsError) << label;
            EXPECT_EQ(files, std::vector<std::string>{"/opt/bin/elsetry.ini"}) << label;
            continue;
        }
        EXPECT_EQ(UserConfigFolder(), *c.Expected) << label;
        EXPECT_EQ(SettingsStorePath(), *c.Expected + "/Corriebrook/registry.sqlite3") << label;
        EXPECT_EQ(files, (std::vector<std::string>{"/opt/bin/elsetry.ini", *c.Expected + "/Corriebrook/elsetry.ini"}))
            << label;
    }
}

} // namespace
} // namespace elsetry::test
