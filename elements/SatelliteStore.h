#pragma once
// Storage for the satellites of one list: they stand in blocks that never move, and the slot of
// a satellite that is dropped or replaced is used again for the next one. Loading and releasing
// a catalogue of tens of thousands of sets then costs a few allocations per block instead of
// one per satellite, and releasing it walks memory in order.

#include "elements/Satellite.h"

#include <cstddef>
#include <memory>
#include <vector>

namespace elsetry {

class TSatelliteStore {
public:
    // A newly made, empty satellite.
    TSatellite& Acquire();
    // Destroys the satellite; its slot holds a new empty one until Acquire hands it out again.
    void Release(TSatellite& Satellite);
    void Clear();

private:
    struct TBlock {
        std::unique_ptr<TSatellite[]> Items;
        std::size_t Size;
    };

    std::vector<TBlock> Blocks;
    std::size_t UsedInLastBlock = 0;
    std::size_t Capacity = 0;
    std::vector<TSatellite*> Free;
};

} // namespace elsetry
