#pragma once
// The settings written as a Windows registry export file: for backups and for moving settings
// between machines.

#include "settings/RegistryText.h"
#include "settings/SqliteSettingsStore.h"

#include <string>

namespace elsetry {

// The key Path of the current user's tree with every key and value below it, in export format
// (UTF-8, LF line ends). Strings holding a line break are written as hex(1) so that the file
// stays line-structured.
std::string ExportRegistryText(TSqliteSettingsStore& Store, const std::string& Path);

} // namespace elsetry
