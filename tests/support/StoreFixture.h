#pragma once
// A private store file for each test: ELSETRY_REGISTRY points into a fresh temporary folder,
// so no test touches the user's own settings; HOME points there too, so that the folders the
// program proposes under "~" are the test's own.

#include "settings/SqliteSettingsStore.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace elsetry::test {

class StoreTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        StoreFile = Folder.Path + "/config/Corriebrook/registry.sqlite3";
        ::setenv(SettingsStoreVariable, StoreFile.c_str(), 1);
        if (const char* home = std::getenv("HOME"))
            OwnHome = home;
        Home = Folder.Path + "/home";
        ::setenv("HOME", Home.c_str(), 1);
    }
    void TearDown() override
    {
        ::unsetenv(SettingsStoreVariable);
        if (OwnHome)
            ::setenv("HOME", OwnHome->c_str(), 1);
        else
            ::unsetenv("HOME");
    }

    std::unique_ptr<TSqliteSettingsStore> Store() const { return std::make_unique<TSqliteSettingsStore>(StoreFile); }

    // The value as stored in Key (exact spelling of the name), if there is one.
    std::optional<TStoredValue> Stored(const std::string& Key, const std::string& Name) const
    {
        const std::vector<TStoredKey> tree = Store()->ReadTree(Key);
        if (tree.empty())
            return std::nullopt;
        for (const TStoredValue& value : tree.front().Values)
            if (value.Name == Name)
                return value;
        return std::nullopt;
    }

    // The stored string, or "<missing>" / "<not a string>".
    std::string StoredString(const std::string& Key, const std::string& Name) const
    {
        const std::optional<TStoredValue> value = Stored(Key, Name);
        if (!value)
            return "<missing>";
        return value->Kind == TValueKind::String ? value->Text : "<not a string>";
    }

    TTempFolder Folder;
    std::string StoreFile;
    std::string Home;

private:
    std::optional<std::string> OwnHome;
};

} // namespace elsetry::test
