#include "elements/SatelliteStore.h"

#include <algorithm>

namespace elsetry {

namespace {
// Blocks double with the list, from a size that suits a small file to one that keeps the
// unused tail of a large catalogue small.
constexpr std::size_t SmallestBlock = 16;
constexpr std::size_t LargestBlock = 1024;
} // namespace

TSatellite& TSatelliteStore::Acquire()
{
    if (!Free.empty()) {
        TSatellite& satellite = *Free.back();
        Free.pop_back();
        return satellite;
    }
    if (Blocks.empty() || UsedInLastBlock == Blocks.back().Size) {
        const std::size_t size = std::clamp(Capacity, SmallestBlock, LargestBlock);
        Blocks.push_back({std::make_unique<TSatellite[]>(size), size});
        Capacity += size;
        UsedInLastBlock = 0;
    }
    return Blocks.back().Items[UsedInLastBlock++];
}

void TSatelliteStore::Release(TSatellite& Satellite)
{
    std::destroy_at(&Satellite);
    std::construct_at(&Satellite);
    Free.push_back(&Satellite);
}

void TSatelliteStore::Clear()
{
    Free.clear();
    Blocks.clear();
    UsedInLastBlock = 0;
    Capacity = 0;
}

} // namespace elsetry
