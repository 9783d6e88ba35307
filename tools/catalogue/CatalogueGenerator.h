#pragma once
// Synthetic but realistic element-set catalogues: unique catalogue numbers and names, valid
// checksums, and a mix of low-earth, navigation, geosynchronous and 12-hour orbits.

#include "elements/ElementFields.h"

#include <cstdint>
#include <string>
#include <vector>

namespace elsetry {

struct TCatalogueOptions {
    int Count = 1000;
    std::uint64_t Seed = 1;
    int EpochYear = 26;           // two digits
    double FirstEpochDay = 300.0; // epochs fall within the ten days from here
    int FirstNumber = 40000;      // of the sets after the known satellites
    // Numbers past 99999 go on in the letter form ("A0000" is 100000) up to 339999 instead of
    // wrapping to the older, lower numbers.
    bool Alpha5 = false;
};

// Name line, line 1 and line 2 of every set, in catalogue-number order. The first sets are the
// weather and station satellites that people keep historic files of.
std::vector<std::string> GenerateCatalogue(const TCatalogueOptions& Options);

} // namespace elsetry
