#include "elements/SatelliteBlock.h"

namespace elsetry {

TSatelliteBlock::TSatelliteBlock(std::size_t Size)
    : Count(Size), State(std::make_unique<unsigned char[]>(Size)), Memory(Size * sizeof(TSatellite)),
      Items(static_cast<TSatellite*>(Memory.Data()))
{
}

TSatelliteBlock::~TSatelliteBlock()
{
    for (std::size_t i = 0; i < Count; ++i)
        if (State[i] != Unmade)
            std::destroy_at(Items + i);
}

TSatellite& TSatelliteBlock::Make(std::size_t Index)
{
    TSatellite* const satellite = std::construct_at(Items + Index);
    State[Index] = Made;
    return *satellite;
}

} // namespace elsetry
