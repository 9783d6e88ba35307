#pragma once
// The block at the end of a run's log: when it ran, into which folder, what became of each file,
// and which numbers of the individual list the service had no set for.

#include "elementfiles/SetChanges.h"

#include <ctime>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace elsetry {

// NotFetched: the run stopped or was cancelled before it asked for the file.
enum class TFileResult { Saved, Unchanged, Skipped, Failed, NotFetched };

struct TFileReport {
    std::string FileName;
    TFileResult Result = TFileResult::Failed;
    // The sets of the file in the folder after the run: the saved one, or the earlier one kept;
    // none when there is no such file.
    std::optional<int> Satellites;
    // Why the file was not saved.
    std::string Reason;
    // What a saved file changed against the one it replaced; none when there was none.
    std::optional<TSetChanges> Changes;
};

struct TRunSummary {
    std::time_t Time = 0;
    std::string Folder;
    std::vector<TFileReport> Files;
    std::vector<std::string> NotFound;
};

// "Run of 2026-12-08 17:40 UTC into /home/sat/keps/", a line per file ("   Weather.txt: saved,
// 12 satellites (3 newer, 1 new, 0 gone)", "   Amateur.txt: failed (HTTP 500), 40 satellites kept",
// "   Geo.txt: failed (HTTP 500), no file was written", "   Iss.txt: not fetched (run stopped),
// 1 satellite kept"), then
// "   Not found: 7, 25544" when the list missed any. Text from outside is shown with its
// control characters escaped.
std::vector<std::string> SummaryLines(const TRunSummary& Summary);

// The numbers of the list that no set of the element text carries, each once, by number, in
// digits without leading zeros ("148493" for "E8493", "7" for "00007"), as the log names them. A
// line that is not a catalogue number is no concern of the answer's. Numbers past 339999, which
// element lines cannot hold, are found when PastElementLines (the objects a CSV or JSON file
// kept besides its lines) holds them.
std::vector<std::string> NumbersNotFound(const std::vector<std::string>& Numbers, std::string_view Text,
                                         const std::vector<long>& PastElementLines = {});

} // namespace elsetry
