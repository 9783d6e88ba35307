#pragma once
// Saving a downloaded element-set text into the group data folder and checking it by loading the
// saved file back, with the update of the chosen historic files.

#include "download/SaveAndCheckHost.h"

#include <string>
#include <vector>

namespace elsetry {

// Removes up to two leading comment lines from Lines and, when at least one complete three-line
// set remains, writes them (CR LF line ends) as the host's group data folder text followed by
// FileName, replacing an earlier file whole. Then loads the file at idle priority, extends the
// historic files of the checked historic items and of the extra historic entries, and logs the
// counts and the names that did not load. A text without a complete set writes and logs nothing.
// Raises EFileError when the file cannot be written or an existing historic file cannot be read;
// the earlier file of that name then stays as it was.
void SaveAndCheck(TSaveAndCheckHost& Host, std::vector<std::string>& Lines, const std::string& FileName);

} // namespace elsetry
