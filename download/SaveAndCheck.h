#pragma once
// Saving a downloaded element-set text into the group data folder once it has been checked by
// loading it, with the update of the chosen historic files.

#include "download/SaveAndCheckHost.h"

#include <string>
#include <vector>

namespace elsetry {

// Removes up to two leading comment lines from Lines and writes them (CR LF line ends) to a hidden
// temporary beside the host's group data folder text followed by FileName, loads that at idle
// priority, and only when it reads as element sets renames it over the earlier file. Then logs
// "   Saved: ", extends the historic files of the checked historic items and of the extra historic
// entries, and logs the counts and the names that did not load.
// Raises EGroupFailed, having written and logged nothing, when FileName is not a plain file name,
// the text is larger than one answer may be ("too large"), holds no complete set or does not read
// as element sets ("not element sets"), or the file's place holds a symbolic link or anything
// but a regular file, or the file cannot be written ("cannot write: <cause>"). The earlier file of
// that name then stays as it was, byte for byte.
void SaveAndCheck(TSaveAndCheckHost& Host, std::vector<std::string>& Lines, const std::string& FileName);

} // namespace elsetry
