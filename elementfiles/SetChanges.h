#pragma once
// What a saved element file changed against the file it replaced, by catalogue number: sets with
// a later epoch, satellites the earlier file did not have, and those it had that are gone. Read
// from the first element lines alone, so that a whole catalogue is compared in one pass each.

#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace elsetry {

// The latest epoch (a Julian date) of each catalogue number's sets.
using TSetEpochs = std::unordered_map<int, double>;

struct TSetChanges {
    int Newer = 0;
    int New = 0;
    int Gone = 0;
};

// What a download's file held before it is replaced: its sets, counted by their first lines, and
// their latest epochs. Read once a download, for the summary and for the answer's size check.
struct TEarlierFile {
    int Sets = 0;
    TSetEpochs Epochs;
};

// None for a file that is missing or unreadable, a link, or anything but a regular file. A file
// in the CSV or JSON form counts its objects.
std::optional<TEarlierFile> ReadEarlierFile(const std::string& Path);

// The element sets of a regular file, counted by their first lines; none for a file that is
// missing, a link, or anything but a regular file.
std::optional<int> SatellitesInFile(const std::string& Path);
// The sets of an element text.
TSetEpochs SetEpochsOf(std::string_view Text);

// Saved against Earlier; none when there was no earlier file.
std::optional<TSetChanges> ChangesFrom(const std::optional<TEarlierFile>& Earlier, const TSetEpochs& Saved);

} // namespace elsetry
