#pragma once
// The entries a list makes of one element text, without holding a satellite for each: the text's
// sets are set up a bounded number at a time, and what stays of each is the name, catalogue number
// and epoch the list's rules go by. Checking a downloaded catalogue this way takes memory in
// proportion to its text rather than to its satellites and their orbit models.

#include "elements/DeepSpaceStates.h"
#include "elements/SatelliteBlock.h"
#include "elements/SatelliteIndex.h"
#include "elements/SatelliteSetup.h"
#include "elements/TextArena.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace elsetry {

class TListEntries {
public:
    // The sets of Text, an element text (not the CSV or JSON form), as TSatelliteList's
    // LoadFromText would read them from FileName, on Threads threads (0: one for each core).
    TListEntries(std::shared_ptr<const std::string> Text, const std::string& FileName, unsigned Threads = 0);
    ~TListEntries();
    TListEntries(const TListEntries&) = delete;
    TListEntries& operator=(const TListEntries&) = delete;

    // What LoadFromText gives: the sets that were accepted and decoded.
    int Decoded() const { return static_cast<int>(Sets.size()); }
    // What the list's Count gives.
    int Count() const { return static_cast<int>(ByName.size()); }
    // Whether the list's IndexOf would find Name (letter case ignored).
    bool HoldsName(std::string_view Name) const;
    // The satellite of the entry that the list's IndexOfCatalogueNumber finds for Number, set up
    // again from its lines as the list sets it up; nullptr when there is none. It stays in place
    // as long as the entries do.
    const TSatellite* SatelliteOfNumber(std::string_view Number);

private:
    // What the list's rules read of a decoded set, and where the set stands in the text.
    struct TSet {
        std::string_view Name;
        std::string_view CatalogueNumber;
        double EpochJulian = 0.0;
        std::uint64_t NameHash = 0;
        std::uint64_t CatalogueNumberHash = 0;
        std::size_t Index = 0;
    };
    using TNames = TKeyOf<TSet, &TSet::Name, &TSet::NameHash>::TIndex;
    using TNumbers = TKeyOf<TSet, &TSet::CatalogueNumber, &TSet::CatalogueNumberHash>::TIndex;

    void AddDecoded(const TSatelliteBlock& Block, std::size_t First);

    std::string FileName;
    std::vector<TSetLines> Lines;
    // The names and numbers of the sets view the text and the upper-cased copies here.
    TTextArena Texts;
    std::vector<TSet> Sets; // never grows past its first reservation: the indexes point into it
    TNames ByName;
    TNumbers ByCatalogue;
    // The satellites SatelliteOfNumber set up, and their deep-space states.
    TDeepSpaceStates DeepStates;
    std::vector<std::unique_ptr<TSatelliteBlock>> LookedUp;
};

} // namespace elsetry
