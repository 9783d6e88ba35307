#pragma once
// Folder texts: the trailing separator the window keeps on them, "~" for the home folder, and
// the folders it proposes when none is set.

#include <string>
#include <string_view>

namespace elsetry {

// Where the program keeps its files when the maker's other programs name no folder; "~" stands
// for the home folder.
inline constexpr std::string_view DefaultKeplerFolder = "~/.local/share/elsetry/keps/";
inline constexpr std::string_view DefaultHistoricDataFolder = "~/.local/share/elsetry/historic/";

// The text with "/" appended unless it ends with one; an empty text stays empty, so that a
// cleared edit does not turn into the root folder.
std::string WithTrailingSeparator(std::string Folder);

// The folder text with a leading "~" ("~" alone or "~/...") replaced by Home; any other text,
// "~user/" among them, as it is.
std::string ExpandHome(const std::string& Folder, const std::string& Home);

// Where a folder chooser for Folder opens: the folder itself, or its nearest parent, that exists
// ("~" for Home), with a trailing "/"; Home for a relative or empty text and when only the root
// folder exists.
std::string NearestExistingFolder(const std::string& Folder, const std::string& Home);

// The folder part of a path, with its trailing "/"; empty for a bare name or an empty path.
std::string FolderOf(const std::string& Path);

// The historic folder for an empty historic-folder edit: "Keps/Updates/" in the folder of the
// executable of Swathgrab (recorded at SwathgrabPath) if that exists, else "../Keps/Updates/"
// from there if that exists, else DefaultHistoricDataFolder. Without a recorded Swathgrab
// nothing is looked for: the current directory says nothing about where the files belong.
// A candidate is resolved against the current directory when relative, and is given in its full
// form, so that the setting does not depend on where the program is started next time.
std::string DefaultHistoricFolder(const std::string& SwathgrabPath);

} // namespace elsetry
