#pragma once
// Default downlink attributes of a satellite, chosen by its name and catalogue number.

namespace elsetry {

class TSatellite;

void ApplyDefaultAttributes(TSatellite& Satellite);

} // namespace elsetry
