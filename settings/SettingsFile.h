#pragma once
// The optional settings file: an INI file named after the executable with the extension ".ini",
// beside the executable or in <CompanyKey>/ in the user's configuration folder (UserConfigFolder()).

#include <string>
#include <string_view>
#include <vector>

namespace elsetry {

// Where the settings file of the executable at ExecutablePath may be, in the order searched; only
// beside the executable when the user has no home folder.
std::vector<std::string> SettingsFileCandidates(const std::string& ExecutablePath);

// The entries of Section (letter case ignored) in the first of Files that exists, one
// "name=value" line each, in file order; empty when no file exists.
std::vector<std::string> ReadSettingsSection(const std::vector<std::string>& Files, std::string_view Section);

} // namespace elsetry
