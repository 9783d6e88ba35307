#include "elements/SatelliteIndex.h"

#include "elements/ElementColumns.h"
#include "text/CatalogueNumber.h"
#include "text/Strings.h"

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

std::optional<std::string> CatalogueKey(std::string_view Number)
{
    if (Number.size() == Line1::CatalogueNumber.Width)
        return UpperCase(Number);
    const std::optional<int> value = CatalogueNumberValue(Number);
    if (!value || *value < FirstAlpha5Number)
        return std::nullopt;
    return Alpha5Text(*value);
}

} // namespace elsetry
