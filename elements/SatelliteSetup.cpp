#include "elements/SatelliteSetup.h"

#include "elements/ElementColumns.h"
#include "elements/SatelliteAttributes.h"
#include "elements/SatelliteIndex.h"
#include "elements/SharedTurns.h"
#include "orbit/SGP_Math.h"
#include "text/Lines.h"
#include "text/Strings.h"

#include <algorithm>

namespace elsetry {

namespace {

// Sets a thread takes at a time: enough to make handing them out cheap, few enough that the
// threads finish together although deep-space sets take longer.
constexpr std::size_t SetsPerTurn = 256;
// Below this many sets for each thread, starting threads costs more than it saves.
constexpr std::size_t SetsPerThread = 2048;

// Whether a text line reads as a name line: not blank, and not the "--" some files separate
// sets with.
bool IsNameLine(std::string_view Trimmed)
{
    return !Trimmed.empty() && Trimmed != "--";
}

std::string_view SatelliteName(std::string_view NameLine, TTextArena& Copies)
{
    const std::string_view name = Copies.UpperCased(Trim(NameLine.substr(0, NameLineLength)));
    if (name == "NOAA-L")
        return "NOAA 16";
    if (name == "NOAA-M")
        return "NOAA 17";
    if (name == "NOAA-N")
        return "NOAA 18";
    return name;
}

bool IsAcceptablePair(std::string_view L1, std::string_view L2)
{
    if (L1.empty() || L1.front() != '1' || L2.empty() || L2.front() != '2')
        return false;
    const std::string_view number = FieldText(L1, Line1::CatalogueNumber);
    return number == FieldText(L2, Line2::CatalogueNumber) && number.find_first_not_of(' ') != std::string_view::npos;
}

// What one thread keeps of the satellites it sets up.
struct TThreadStore {
    TTextArena Copies;
    TDeepSpaceStates DeepStates;
};

// Sets up S from Set; false when the set is no element set or does not decode.
bool SetUp(TSatellite& S, const TSetLines& Set, std::string_view FileName, TThreadStore& Store)
{
    TTextArena& Copies = Store.Copies;
    if (!IsAcceptablePair(Set.Line1, Set.Line2))
        return false;
    try {
        S.ParseElements(Copies.UpperCased(Set.Line1), Copies.UpperCased(Set.Line2));
    } catch (const EMathError&) {
        return false; // an element set that does not decode is dropped; the file reads on
    }
    if (S.DeepSpace != 0)
        S.UseDeepSpaceState(Store.DeepStates.Make());
    S.Name = SatelliteName(Set.NameLine, Copies);
    S.NameHash = KeyHash(S.Name);
    S.CatalogueNumberHash = KeyHash(S.CatalogueNumber);
    ApplyDefaultAttributes(S);
    S.SourceFileName = FileName;
    try {
        S.PropagateToOwnEpoch();
    } catch (const EMathError&) {
        // The satellite stays in the list with its revolution number as written.
    }
    return true;
}

} // namespace

std::vector<TSetLines> FindElementSets(std::string_view Text)
{
    std::vector<TSetLines> sets;
    // Three lines of at least this much make a set, line ends included.
    sets.reserve(Text.size() / (2 * MinimumElementLineLength + 4) + 1);
    TLineReader lines(Text);
    while (!lines.AtEnd()) {
        TSetLines set;
        while (!lines.AtEnd() && !IsNameLine(set.NameLine))
            set.NameLine = Trim(lines.Read());
        if (lines.AtEnd())
            break;
        while (!lines.AtEnd() && set.Line1.size() < MinimumElementLineLength)
            set.Line1 = lines.Read();
        if (lines.AtEnd())
            break;
        while (!lines.AtEnd() && set.Line2.size() < MinimumElementLineLength)
            set.Line2 = lines.Read();
        sets.push_back(set);
    }
    return sets;
}

void SetUpSatellites(const std::vector<TSetLines>& Sets, TSatelliteBlock& Block, std::string_view FileName,
                     unsigned Threads, TTextArena& Copies, TDeepSpaceStates& DeepStates)
{
    const std::size_t turns = (Sets.size() + SetsPerTurn - 1) / SetsPerTurn;
    std::vector<TThreadStore> stores(WorkThreads(Sets.size(), Threads, SetsPerThread));
    // The stores are adopted even when a set raised: what was made stays owned by the list.
    const auto adopt = [&] {
        for (TThreadStore& store : stores) {
            Copies.Adopt(store.Copies);
            DeepStates.Adopt(store.DeepStates);
        }
    };
    try {
        ShareOutTurns(turns, static_cast<unsigned>(stores.size()), [&](std::size_t Turn, unsigned Thread) {
            const std::size_t end = std::min((Turn + 1) * SetsPerTurn, Sets.size());
            for (std::size_t i = Turn * SetsPerTurn; i < end; ++i)
                if (SetUp(Block.Make(i), Sets[i], FileName, stores[Thread]))
                    Block.MarkDecoded(i);
        });
    } catch (...) {
        adopt();
        throw;
    }
    adopt();
}

} // namespace elsetry
