#include "elements/ListEntries.h"

#include "platform/TextFile.h"
#include "text/Strings.h"

#include <algorithm>

namespace elsetry {

namespace {

// Satellites set up at a time: some 9 MB of them, whatever the size of the text.
constexpr std::size_t SetsAtATime = 16384;

} // namespace

TListEntries::TListEntries(std::shared_ptr<const std::string> Text, const std::string& Name, unsigned Threads)
    : FileName(FileNameOf(Name)), Lines(FindElementSets(*Text))
{
    Texts.Keep(std::move(Text));
    Sets.reserve(Lines.size());
    ByName.reserve(Lines.size());
    ByCatalogue.reserve(Lines.size());
    for (std::size_t first = 0; first < Lines.size(); first += SetsAtATime) {
        const std::vector<TSetLines> part(
            Lines.begin() + static_cast<std::ptrdiff_t>(first),
            Lines.begin() + static_cast<std::ptrdiff_t>(std::min(first + SetsAtATime, Lines.size())));
        TDeepSpaceStates deepStates;
        TSatelliteBlock block(part.size());
        SetUpSatellites(part, block, FileName, Threads, Texts, deepStates);
        AddDecoded(block, first);
    }
}

TListEntries::~TListEntries() = default;

// In file order, as the list admits them.
void TListEntries::AddDecoded(const TSatelliteBlock& Block, std::size_t First)
{
    for (std::size_t i = 0; i < Block.Size(); ++i) {
        if (!Block.IsDecoded(i))
            continue;
        const TSatellite& satellite = Block[i];
        Sets.push_back({satellite.Name, satellite.CatalogueNumber, satellite.EpochJulian, satellite.NameHash,
                        satellite.CatalogueNumberHash, First + i});
        AdmitEntry(Sets.back(), ByName, ByCatalogue);
    }
}

bool TListEntries::HoldsName(std::string_view Name) const
{
    return ByName.contains(std::string_view(UpperCase(Name)));
}

const TSatellite* TListEntries::SatelliteOfNumber(std::string_view Number)
{
    const std::optional<std::string> key = CatalogueKey(Number);
    if (!key)
        return nullptr;
    const auto entry = ByCatalogue.find(std::string_view(*key));
    if (entry == ByCatalogue.end())
        return nullptr;
    auto block = std::make_unique<TSatelliteBlock>(1);
    SetUpSatellites({Lines[(*entry)->Index]}, *block, FileName, 1, Texts, DeepStates);
    if (!block->IsDecoded(0))
        return nullptr;
    LookedUp.push_back(std::move(block));
    return &(*LookedUp.back())[0];
}

} // namespace elsetry
