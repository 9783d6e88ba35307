#pragma once
// Settings as a Windows registry export file ("Windows Registry Editor Version 5.00"): for
// backups, for moving settings between machines, and for settings brought over from Windows.

#include "settings/SqliteSettingsStore.h"

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace elsetry {

inline constexpr std::string_view RegistryFileHeader = "Windows Registry Editor Version 5.00";
inline constexpr std::string_view CurrentUserRoot = "HKEY_CURRENT_USER";

// A registry file that cannot be read; Line counts from 1 (0: the file as a whole).
class ERegistryFileError : public std::runtime_error {
public:
    ERegistryFileError(int Line, const std::string& Message);
    int Line;
};

// The key Path of the current user's tree with every key and value below it, in export format
// (UTF-8, LF line ends). Strings holding a line break are written as hex(1) so that the file
// stays line-structured.
std::string ExportRegistryText(TSqliteSettingsStore& Store, const std::string& Path);

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
