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

// Computed once at start-up: ke = sqrt(1434962880 / 6378.135^3), qoms2t = ((120 - 78) / 6378.135)^4.
extern const double ke;
extern const double qoms2t;

} // namespace elsetry
