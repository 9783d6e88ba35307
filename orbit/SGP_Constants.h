#pragma once
// Constants of the orbit model. Distance unit: earth radius; time unit: minute.

namespace elsetry {

inline constexpr double EarthRadiusKm = 6378.135;
inline constexpr double ae = 1.0;
inline constexpr double MinutesPerDay = 1440.0;
inline constexpr double k2 = 0.0005413079;
inline constexpr double ck2x1_5 = 0.00081196185;   // 1.5 * k2
inline constexpr double ck2x0_75 = 0.000405980925; // 0.75 * k2
inline constexpr double ck2x2 = 0.0010826158;      // 2 * k2
inline constexpr double ck2x3 = 0.0016239237;      // 3 * k2
inline constexpr double ck4x1_25 = 7.762359375e-7; // 1.25 * k4
inline constexpr double a3ovk2 = 0.004690140306468832;
inline constexpr double DeepSpacePeriodLimit = 225.0; // minutes

// Atmospheric density function: s = 1 + 78 km, q0 = 120 km, and the perigee heights below which
// s is lowered (156 km) and held at its floor (98 km, giving 20 km).
inline constexpr double DensityParameterS = 1.0122292801892716;
inline constexpr double DensityQ0Km = 120.0;
inline constexpr double DensityS0Km = 78.0;
inline constexpr double LowPerigeeKm = 156.0;
inline constexpr double VeryLowPerigeeKm = 98.0;
inline constexpr double VeryLowPerigeeSKm = 20.0;
// Perigee radius (1 + 220 km) below which the higher-order drag terms are left out.
inline constexpr double SimpleDragPerigeeLimit = 1.034492841559484;

// Kepler's equation is solved to this tolerance in at most this many iterations.
inline constexpr double KeplerTolerance = 1.0e-6;
inline constexpr int KeplerIterations = 10;

inline constexpr double EarthRotationRate = 0.0043752691; // rad/min

// Computed once at start-up: ke = sqrt(1434962880 / 6378.135^3), qoms2t = ((120 - 78) / 6378.135)^4.
extern const double ke;
extern const double qoms2t;
// A3,0/k2 times ae^3, the latter through Power like every other power of the model.
extern const double a3ovk2ae3;

} // namespace elsetry
