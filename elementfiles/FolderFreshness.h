#pragma once
// How old the element sets in the group data folder are, read from the epochs of its files
// without decoding the sets.

#include <ctime>
#include <optional>
#include <string>
#include <string_view>

namespace elsetry {

// Element sets older than this are worth a word on the Download page.
constexpr int StaleAfterDays = 7;

// The Julian date of the epoch of a first element line (columns 19-32, YYDDD.DDDDDDDD); none for
// any other line.
std::optional<double> EpochOfFirstLine(std::string_view Line);

// The Julian date of the latest epoch on any first element line of the folder's element files
// ("*.2li", "*.tle", "*.txt"); none when the folder holds no set or cannot be read.
std::optional<double> NewestEpochIn(const std::string& Folder);

// "The newest element sets in the folder are 12 days old" when the newest epoch is more than
// StaleAfterDays before Now; empty when it is not, or when the folder holds no sets.
std::string StaleFolderNote(const std::string& Folder, std::time_t Now);

// The time a text of the form "2026-12-08 17:40 UTC" stands for; none for any other text.
std::optional<std::time_t> TimeOfDateTimeText(std::string_view Text);

// How long before Now Then was: "just now", "12 min ago", "3 h ago" (up to two days), "5 days
// ago"; empty when Then is after Now.
std::string AgeText(std::time_t Then, std::time_t Now);

// The Download page's line on the last successful run, stored as "2026-12-08 17:40 UTC":
// "Last successful run: 2026-12-08 17:40 UTC (3 h ago)", or "No successful run yet".
std::string LastRunText(const std::string& Stored, std::time_t Now);

} // namespace elsetry
