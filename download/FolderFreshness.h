#pragma once
// How old the element sets in the group data folder are, read from the epochs of its files
// without decoding the sets.

#include <ctime>
#include <optional>
#include <string>

namespace elsetry {

// Element sets older than this are worth a word on the Download page.
constexpr int StaleAfterDays = 7;

// The Julian date of the latest epoch on any first element line of the folder's element files
// ("*.2li", "*.tle", "*.txt"); none when the folder holds no set or cannot be read.
std::optional<double> NewestEpochIn(const std::string& Folder);

// "The newest element sets in the folder are 12 days old" when the newest epoch is more than
// StaleAfterDays before Now; empty when it is not, or when the folder holds no sets.
std::string StaleFolderNote(const std::string& Folder, std::time_t Now);

} // namespace elsetry
