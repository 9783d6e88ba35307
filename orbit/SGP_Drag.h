#pragma once
// Drag parameters of the orbit model that depend on the height of perigee.

namespace elsetry {

// The density function's s* (earth radii from the centre) and q* = ((q0 - s*) / radius)^4.
struct TDensityParameters {
    double S = 0.0;
    double Qoms24 = 0.0;
};

// Perigees below 156 km lower s* to the perigee height less 78 km, but never below 20 km.
TDensityParameters DensityParameters(double PerigeeHeightKm);

// Perigee radii (earth radii) below 1 + 220 km leave the higher-order drag terms out.
bool UsesSimpleDrag(double PerigeeRadius);

} // namespace elsetry
