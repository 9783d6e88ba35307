#pragma once
// Turning the element sets of a text into satellites: finding the sets, then decoding each and
// setting up its orbit model, on as many threads as the machine has. Setting up one satellite
// touches nothing another one uses, so the satellites come out the same whatever the number of
// threads.

#include "elements/DeepSpaceStates.h"
#include "elements/SatelliteBlock.h"
#include "elements/TextArena.h"

#include <string_view>
#include <vector>

namespace elsetry {

// One element set as it stands in a text: its name line without leading and trailing blanks,
// and its two element lines as written.
struct TSetLines {
    std::string_view NameLine;
    std::string_view Line1;
    std::string_view Line2;
};

// The element sets of a text, in order. A set is a name line (any line that is not blank and
// not "--"), then the next line long enough for every field of line 1, then the next one long
// enough for line 2; shorter lines between them are passed over. A name line or line 1 that the
// text ends with begins no set; a line 2 cut short still ends one, which then does not decode.
std::vector<TSetLines> FindElementSets(std::string_view Text);

// Makes the satellite of each set in the slot of the same index in Block, and marks those whose
// lines decode. A decoded satellite carries its upper-cased lines, its name, the default
// attributes of that name, FileName as its source, and its revolution number at epoch. Upper-cased
// copies of lines and names written in lower case go into Copies, deep-space states into
// DeepStates. Runs on Threads threads, or one for each core when Threads is 0; a small text is
// done on the calling thread alone.
void SetUpSatellites(const std::vector<TSetLines>& Sets, TSatelliteBlock& Block, std::string_view FileName,
                     unsigned Threads, TTextArena& Copies, TDeepSpaceStates& DeepStates);

} // namespace elsetry
