#pragma once
// Folder texts: the trailing separator the window keeps on them, and the historic folder it
// proposes when none is set.

#include <string>

namespace elsetry {

// The text with "/" appended unless it ends with one; an empty text becomes "/".
std::string WithTrailingSeparator(std::string Folder);

// The folder part of a path, with its trailing "/"; empty for a bare name or an empty path.
std::string FolderOf(const std::string& Path);

// The historic folder for an empty historic-folder edit: "Keps/Updates/" in the folder of the
// executable of Swathgrab (recorded at SwathgrabPath, possibly empty) if that exists, else
// "../Keps/Updates/" from there if that exists, else "Keps/Updates/" in ExecutableFolder (given
// with its trailing "/").
// A candidate is resolved against the current directory when relative, and is given in its full
// form, so that the setting does not depend on where the program is started next time.
std::string DefaultHistoricFolder(const std::string& ExecutableFolder, const std::string& SwathgrabPath);

} // namespace elsetry
