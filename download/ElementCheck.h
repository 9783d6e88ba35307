#pragma once
// Checking a downloaded element-set text against the list loaded from its saved file.

#include <string>
#include <vector>

namespace elsetry {

class TSatelliteList;

// When the text has more than two lines, removes a leading "#" line, then one more.
void RemoveCommentLines(std::vector<std::string>& Lines);
// Complete three-line element sets in the text.
int CompleteSetCount(const std::vector<std::string>& Lines);
// The log lines of the count check: "      %d satellites" when every set loaded under its own
// name, else "      %d satellites, %d unique names" and a "         Missing: " line for every
// name line of a complete set that the list does not hold.
std::vector<std::string> CountCheckLines(const std::vector<std::string>& Lines, const TSatelliteList& List);

} // namespace elsetry
