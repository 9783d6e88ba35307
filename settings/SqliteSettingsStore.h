#pragma once
// The settings store kept in one SQLite file per user. Every handle opens its own connection
// and closes it when destroyed; the file is in WAL mode with a busy time-out, so several
// processes (the maker's other programs among them) can use it at once.

#include "settings/SettingsStore.h"

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

struct sqlite3;

namespace elsetry {

// Value kinds, numbered like the registry's type codes.
enum class TValueKind : int { String = 1, Integer = 4 };

struct TStoredValue {
    std::string Name;
    TValueKind Kind = TValueKind::String;
    std::string Text;          // String values
    std::uint32_t Integer = 0; // Integer values
};

struct TStoredKey {
    std::string Path; // from the root, beginning with "\", each name spelled as when created
    std::vector<TStoredValue> Values; // by name, letter case ignored
};

// The environment variable that names another store file (tests, trials, a second profile).
inline constexpr const char* SettingsStoreVariable = "ELSETRY_REGISTRY";

// The store file: $ELSETRY_REGISTRY when set, otherwise Corriebrook/registry.sqlite3 in the
// user's configuration folder (UserConfigFolder()).
std::string SettingsStorePath();

class TSqliteSettingsStore final : public TSettingsStore {
public:
    // Opens the file, creating it (readable and writable by its owner only) and its folder
    // when missing. Raises ESettingsError when the file cannot be opened as a store.
    explicit TSqliteSettingsStore(const std::string& FileName);
    ~TSqliteSettingsStore() override;
    TSqliteSettingsStore(const TSqliteSettingsStore&) = delete;
    TSqliteSettingsStore& operator=(const TSqliteSettingsStore&) = delete;

    void SetRootKey(TRootKey Root) override;
    bool KeyExists(const std::string& Path) override;
    bool OpenKey(const std::string& Path, bool CanCreate) override;
    bool ValueExists(const std::string& Name) override;
    std::string ReadString(const std::string& Name) override;
    bool ReadBool(const std::string& Name) override;
    void WriteString(const std::string& Name, const std::string& Text) override;
    void WriteBool(const std::string& Name, bool Flag) override;
    bool DeleteValue(const std::string& Name) override;

    void WriteInteger(const std::string& Name, std::uint32_t Value);
    // Removes the key with every key and value below it; false when it did not exist.
    // The root itself cannot be removed.
    bool DeleteKey(const std::string& Path);
    // The key and every key below it, parents before children, siblings by name.
    // Empty when the key does not exist.
    std::vector<TStoredKey> ReadTree(const std::string& Path);
    // Runs Work as one transaction: every change it makes lands, or none does.
    void InTransaction(const std::function<void()>& Work);

private:
    class TConnection;
    std::string Resolve(const std::string& Path) const;
    void EnsureKey(const std::string& Path);
    // The values of the key Path and of every key below it, by folded key path.
    std::map<std::string, std::vector<TStoredValue>> ReadValues(const std::string& Path);
    void WriteValue(const std::string& Name, TValueKind Kind, const std::string& Text, std::int64_t Integer);

    std::unique_ptr<TConnection> Db;
    TRootKey Root = HKEY_CURRENT_USER;
    std::string CurrentPath; // below the root, no leading or trailing "\"; empty: the root
};

// A fresh handle on the user's store (SettingsStorePath()).
std::unique_ptr<TSettingsStore> OpenSettingsStore();

} // namespace elsetry
