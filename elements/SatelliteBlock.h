#pragma once
// Room for the satellites of one element file, sized from the file: one piece of memory for all
// of them, in which they never move, and no satellite is freed before the block is. A list keeps
// a block for every file it has read.

#include "elements/Satellite.h"
#include "platform/LargeMemory.h"

#include <cstddef>
#include <memory>

namespace elsetry {

class TSatelliteBlock {
public:
    explicit TSatelliteBlock(std::size_t Size);
    ~TSatelliteBlock();
    TSatelliteBlock(const TSatelliteBlock&) = delete;
    TSatelliteBlock& operator=(const TSatelliteBlock&) = delete;

    std::size_t Size() const { return Count; }
    // Makes the empty satellite of slot Index; each slot is made once, by any thread.
    TSatellite& Make(std::size_t Index);
    TSatellite& operator[](std::size_t Index) const { return Items[Index]; }
    // Whether the satellite of slot Index holds a decoded element set.
    void MarkDecoded(std::size_t Index) { State[Index] = Decoded; }
    bool IsDecoded(std::size_t Index) const { return State[Index] == Decoded; }

private:
    enum : unsigned char { Unmade, Made, Decoded };

    std::size_t Count;
    std::unique_ptr<unsigned char[]> State;
    TLargeMemory Memory;
    TSatellite* Items;
};

} // namespace elsetry
