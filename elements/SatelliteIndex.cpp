#include "elements/SatelliteIndex.h"

#include <algorithm>
#include <cstring>

namespace elsetry {

std::uint64_t KeyHash(std::string_view Text)
{
    constexpr std::uint64_t multiplier = 0x9E3779B97F4A7C15ULL;
    std::uint64_t hash = Text.size();
    for (std::size_t i = 0; i < Text.size(); i += 8) {
        std::uint64_t word = 0;
        std::memcpy(&word, Text.data() + i, std::min<std::size_t>(8, Text.size() - i));
        hash = (hash ^ word) * multiplier;
        hash ^= hash >> 29;
    }
    return hash;
}

} // namespace elsetry
