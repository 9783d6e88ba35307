#pragma once
// Sidereal time of the orbit model.

namespace elsetry {

// Days since 1950 January 0.0 of the epoch last given to SiderealAngleAtEpoch. The deep-space
// initialisation reads it right after setting it, so initialisations must not interleave.
extern double DaysSince1950;

// Greenwich sidereal angle in [0, 2pi) at an epoch written YYDDD.DDDDDDDD; sets DaysSince1950.
double SiderealAngleAtEpoch(double EpochYearDay);

} // namespace elsetry
