#pragma once
// Checking a downloaded element-set text against the list loaded from it.

#include <string>
#include <string_view>
#include <vector>

namespace elsetry {

class TListEntries;
class TSatelliteList;

// When the text has more than two lines, removes a leading "#" line, then one more.
void RemoveCommentLines(std::vector<std::string>& Lines);
// The same for a whole text: what follows the lines RemoveCommentLines would remove.
std::string_view AfterCommentLines(std::string_view Text);
// Complete three-line element sets in the text.
int CompleteSetCount(const std::vector<std::string>& Lines);
int CompleteSetCount(std::string_view Text);
// Whether CompleteSetCount(Text) is above 0, found without counting every line.
bool HoldsCompleteSet(std::string_view Text);
// Whether the text reads as element sets, given how many of its sets loaded: at least one, and
// their lines (three a set) make at least half of the text's non-blank lines. A login page, an
// error page or random bytes do not.
bool ReadsAsElementSets(std::string_view Text, int LoadedSets);

// Names of sets that did not load are listed up to this many per file.
constexpr int MissingLinesShown = 50;

// The log lines of the count check: "      %d satellites" when every set loaded under its own
// name, else "      %d satellites, %d unique names" and a "         Missing: " line for every
// name line of a complete set that the list does not hold, the first MissingLinesShown of them
// followed by "         ... and %d more". Names are shown with their control characters escaped.
// Text is the text the list was loaded from, after its comment lines.
std::vector<std::string> CountCheckLines(std::string_view Text, const TSatelliteList& List);
// The same for a text that stands in runs, one after the other, each of whole lines.
std::vector<std::string> CountCheckLines(const std::vector<std::string_view>& Runs, const TSatelliteList& List);
// The same for the entries the list would make of the text.
std::vector<std::string> CountCheckLines(std::string_view Text, const TListEntries& Entries);

} // namespace elsetry
