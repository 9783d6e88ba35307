#pragma once
// The per-user settings store: a tree of keys under fixed roots, addressed by backslash paths,
// each key holding named string and 32-bit integer values. Key paths and value names compare
// without regard to (ASCII) letter case.

#include <cstdint>
#include <stdexcept>
#include <string>

namespace elsetry {

// A root of the key tree. Only the current user's root is used by the program; the others
// exist so that a root handed in by mistake opens a separate, empty tree.
using TRootKey = std::uint32_t;
inline constexpr TRootKey HKEY_CURRENT_USER = 0x80000001u;
inline constexpr TRootKey HKEY_LOCAL_MACHINE = 0x80000002u;

// The store cannot be opened, read or written, or a value has the wrong kind.
class ESettingsError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// One handle on the store, used for a few operations and then destroyed. A fresh handle works
// below HKEY_CURRENT_USER, with that root itself as the current key.
class TSettingsStore {
public:
    virtual ~TSettingsStore() = default;

    // Later paths are taken below Root; the root becomes the current key.
    virtual void SetRootKey(TRootKey Root) = 0;
    // Whether the key exists; opens nothing. A path beginning with "\" is taken from the root,
    // any other from the current key.
    virtual bool KeyExists(const std::string& Path) = 0;
    // Makes the key current, creating it and its missing parents when CanCreate is set.
    // False when the key is missing and may not be created.
    virtual bool OpenKey(const std::string& Path, bool CanCreate) = 0;
    // Whether the current key holds a value of that name, of any kind.
    virtual bool ValueExists(const std::string& Name) = 0;
    // The text of a string value; empty for a missing value; raises for a value of another kind.
    virtual std::string ReadString(const std::string& Name) = 0;
    // Whether a 32-bit integer value is non-zero; raises for a missing value or another kind.
    virtual bool ReadBool(const std::string& Name) = 0;
    // Write a value, replacing any old value of that name whatever its kind.
    virtual void WriteString(const std::string& Name, const std::string& Text) = 0;
    virtual void WriteBool(const std::string& Name, bool Flag) = 0;
    // Removes the value from the current key; false when there was none.
    virtual bool DeleteValue(const std::string& Name) = 0;

protected:
    TSettingsStore() = default;
    TSettingsStore(const TSettingsStore&) = default;
    TSettingsStore& operator=(const TSettingsStore&) = default;
};

} // namespace elsetry
