#pragma once
// A Windows registry export file read into settings changes and applied to the store: for
// restoring backups and for settings brought over from Windows.

#include "settings/RegistryText.h"
#include "settings/SqliteSettingsStore.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace elsetry {

struct TRegistryChange {
    enum TKind { CreateKey, DeleteKey, SetString, SetInteger, DeleteValue };
    TKind Kind;
    int Line;
    std::string KeyPath; // below HKEY_CURRENT_USER, beginning with "\"
    std::string Name;    // value name; "" is the key's default value ("@")
    std::string Text;
    std::uint32_t Integer = 0;
};

struct TRegistryImport {
    std::vector<TRegistryChange> Changes;
    std::vector<std::string> Warnings; // "line N: ..." for values of kinds the store does not keep
};

// Reads a registry export file, UTF-8 (with or without a byte-order mark) or UTF-16LE with a
// byte-order mark. Raises ERegistryFileError for anything that is not such a file, naming the line.
TRegistryImport ReadRegistryFile(std::string_view Bytes);

// Applies the changes in file order as one transaction: all of them land, or none.
void ApplyRegistryImport(TSqliteSettingsStore& Store, const TRegistryImport& Import);

} // namespace elsetry
