// Feeds arbitrary pairs of lines to the element decoder and, when they decode, to the orbit model.

#include "elements/Satellite.h"
#include "orbit/SGP_Math.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size)
{
    const std::string_view input(reinterpret_cast<const char*>(Data), Size);
    const std::size_t split = input.find('\n');
    const std::string_view first = input.substr(0, split);
    const std::string_view second = split == std::string_view::npos ? std::string_view() : input.substr(split + 1);
    elsetry::TSatellite satellite;
    try {
        satellite.ParseElements(first, second);
        satellite.PropagateToOwnEpoch();
        double position[3];
        double velocity[3];
        satellite.PropagateToTime(position, velocity, satellite.EpochJulian + 1.5);
    } catch (const elsetry::EMathError&) {
        // Unusable element sets are rejected with this error; anything else is a finding.
    }
    return 0;
}
