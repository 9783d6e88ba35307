#include "orbit/SGP_Time.h"

#include "orbit/EpochTime.h"
#include "orbit/SGP_Math.h"

#include <cmath>

namespace elsetry {

TSiderealEpoch SiderealAngleAtEpoch(double EpochYearDay)
{
    const double years = EpochYearDay * 0.001;
    // The year goes through an int; an epoch field that read as garbage must not overflow it.
    if (!(std::fabs(years) < 1.0e6))
        throw EMathError("Invalid epoch");
    const double wholeYears = std::trunc(years);
    const int year = EpochYear(static_cast<int>(wholeYears));
    const double dayWithFraction = (years - wholeYears) * 1000.0;
    const double ut = dayWithFraction - std::trunc(dayWithFraction);
    const double jd = JulianDateOfYear(year) + std::trunc(dayWithFraction);

    const double centuries = (jd - 2451545.0) / 36525.0;
    double seconds = 24110.54841 + centuries * (8640184.812866 + centuries * (0.093104 - centuries * 6.2e-6));
    seconds = PositiveModulus(seconds + 86636.555366976 * ut, 86400.0);
    return {TwoPi * seconds / 86400.0, jd - 2433281.5 + ut};
}

} // namespace elsetry
