#pragma once
// Sidereal time of the orbit model.

namespace elsetry {

// Days from 1900 January 0.5, the lunar-solar terms' origin, to 1950 January 0.0.
constexpr double DaysFrom1900To1950 = 18261.5;

struct TSiderealEpoch {
    double Angle = 0.0;         // Greenwich sidereal angle in [0, 2pi)
    double DaysSince1950 = 0.0; // days since 1950 January 0.0
};

// The sidereal angle at an epoch written YYDDD.DDDDDDDD, and the epoch's days since 1950.
TSiderealEpoch SiderealAngleAtEpoch(double EpochYearDay);

} // namespace elsetry
