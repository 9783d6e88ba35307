#pragma once
// A CSV or JSON text of element sets written out as the name lines and element lines of an
// element file, for readers of element files.

#include "elements/OmmReaders.h"
#include "elements/OmmRecord.h"
#include "elements/SatelliteSetup.h"

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace elsetry {

struct TOmmElementText {
    std::string Lines; // a name line and two element lines a set, each ended by "\n"
    int Sets = 0;
    // Sets whose catalogue number is past LargestElementLineNumber, which element lines cannot hold.
    int SkippedUnwritable = 0;
    // Sets with a field that does not read or does not fit its columns.
    int SkippedUnreadable = 0;
};

// The sets of Text, in the order the text gives them. Form is ElementTextFormOf(Text) and not
// TElementTextForm::ElementLines. Raises EOmmFormat when the text as a whole is not that form.
// LinesSize, when the caller knows it, is the room the lines take, taken at once.
TOmmElementText OmmElementText(std::string_view Text, TElementTextForm Form, std::size_t LinesSize = 0);

// The same lines written on Threads threads (0: one for each core), each thread's in a piece of
// its own, with the element sets FindElementSets finds in them as a whole.
struct TOmmElementSets {
    std::vector<std::shared_ptr<const std::string>> Pieces;
    std::vector<std::string_view> Runs; // of Pieces, in the order of the text's sets
    std::vector<TSetLines> Sets;        // viewing Pieces
    int SkippedUnwritable = 0;
    int SkippedUnreadable = 0;
    // The runs as one text: OmmElementText's Lines.
    std::string Lines() const;
};
TOmmElementSets OmmElementSets(std::string_view Text, TElementTextForm Form, unsigned Threads);
// The same for a JSON list read a piece at a time; nothing when its pieces do not read so, and the
// text is then to be read whole.
std::optional<TOmmElementSets> OmmJsonElementSetsInPieces(TJsonListPieces& Pieces, unsigned Threads);

} // namespace elsetry
