// The near-earth model with chosen element sets: model choice, lazy initialisation and its
// failure rules, the argument of latitude and the revolution number at load.

#include "OrbitTestSupport.h"
#include "elements/SatelliteList.h"
#include "orbit/SGP_Math.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace elsetry {
namespace {

// A 98-minute, 51.6-degree orbit with some drag. Fields as in TElements.
const TElements LowOrbit{90001, 6001.5, " 30000-4", 51.6, 40.0, 0.0006, 80.0, 30.0, 15.5};

TEST(ModelChoice, PeriodOf225MinutesSelectsDeepSpace)
{
    // At 54.7356 degrees 3 cos^2 i - 1 vanishes, so the corrected period is 1440 / revolutions per day.
    for (const auto& [revolutionsPerDay, deepSpace] : {std::pair{6.4001, 0}, {6.3999, 1}}) {
        TElements e = LowOrbit;
        e.Inclination = 54.7356;
        e.MeanMotion = revolutionsPerDay;
        TSatellite s;
        Parse(s, e);
        EXPECT_EQ(s.DeepSpace, deepSpace) << revolutionsPerDay;
    }
}

TEST(NearEarthModel, NewElementsInitialiseAgain)
{
    TSatellite s;
    Parse(s, LowOrbit);
    const TState first = PropagateKm(s, 100.0);
    EXPECT_EQ(s.ModelInitPending, 0);
    TElements other = LowOrbit;
    other.MeanAnomaly = 200.0;
    Parse(s, other);
    EXPECT_EQ(s.ModelInitPending, 1);
    EXPECT_GT(Distance(first.R, PropagateKm(s, 100.0).R), 1000.0);
}

TEST(NearEarthModel, FailedInitialisationStaysPendingAndIsRetried)
{
    // Mean motion 0 divides by zero, a negative one fails in Power, eccentricity 0 divides in C3.
    for (const auto& [meanMotion, eccentricity] : {std::pair{0.0, 0.0006}, {-0.06, 0.0006}, {0.067, 0.0}}) {
        TSatellite s;
        Parse(s, LowOrbit);
        const double goodMeanMotion = s.MeanMotion;
        const double goodEccentricity = s.Eccentricity;
        s.MeanMotion = meanMotion;
        s.Eccentricity = eccentricity;
        double r[3];
        double v[3];
        EXPECT_THROW(s.PropagateNearEarth(r, v, 0.0), EMathError) << meanMotion << ", " << eccentricity;
        EXPECT_EQ(s.ModelInitPending, 1);
        s.MeanMotion = goodMeanMotion;
        s.Eccentricity = goodEccentricity;
        EXPECT_NO_THROW(s.PropagateNearEarth(r, v, 0.0));
    }
}

TEST(NearEarthModel, ACompletelyDecayedOrbitIsAnErrorNotInfinity)
{
    TElements e = LowOrbit;
    e.MeanMotion = 16.3; // perigee near 170 km: simple drag, so a = a0'' (1 - C1 t)^2
    e.Eccentricity = 0.005;
    e.Bstar = " 50000-2";
    TSatellite s;
    Parse(s, e);
    PropagateKm(s, 0.0);
    ASSERT_EQ(s.SimpleDrag, 1);
    const double c1 = TOrbitModelProbe::NearEarth(s).C1;
    double t = 1.0 / c1;
    while (1.0 - c1 * t > 0.0)
        t = std::nextafter(t, 1.0e300);
    while (1.0 - c1 * t < 0.0)
        t = std::nextafter(t, 0.0);
    ASSERT_EQ(1.0 - c1 * t, 0.0);
    EXPECT_THROW(PropagateKm(s, t), EMathError);
}

TEST(NearEarthModel, NegativeArgumentOfLatitudeIsBroughtIntoRange)
{
    // Near-circular with w + M = 350 degrees: the model's own angle comes out negative.
    TElements e = LowOrbit;
    e.Perigee = 0.0;
    e.MeanAnomaly = 350.0;
    TSatellite direct;
    Parse(direct, e);
    PropagateKm(direct, 0.0);
    ASSERT_LT(direct.ArgumentOfLatitude, 0.0);
    TSatellite throughTime;
    Parse(throughTime, e);
    PropagateKm(throughTime, 0.0, true);
    EXPECT_DOUBLE_EQ(throughTime.ArgumentOfLatitude, direct.ArgumentOfLatitude + TwoPi);
}

TEST(LoadTimeRevolution, SouthernHalfAtEpochRaisesTheNumberByOne)
{
    struct TCase {
        double Inclination, Perigee, MeanAnomaly, MeanMotion, Eccentricity;
        double Expected;
    };
    const TCase cases[] = {
        {51.6, 0.0, 90.0, 15.5, 0.0006, 100.0},   // u near 90 degrees
        {51.6, 0.0, 200.0, 15.5, 0.0006, 101.0},  // u near 200 degrees
        {51.6, 0.0, 350.0, 15.5, 0.0006, 101.0},  // u slightly below 0, brought to near 2 pi
        {51.6, 0.0, 270.0, 15.5, 0.0, 100.0},     // eccentricity 0: initialisation fails
        {63.4, 90.0, 180.0, 2.0056, 0.7, 101.0},  // deep space at apogee, u near 270 degrees
        {63.4, 90.0, 0.0, 2.0056, 0.7, 100.0},    // deep space at perigee, u near 90 degrees
        {0.0, 0.0, 270.0, 1.0027, 0.0002, 100.0}, // deep space, inclination 0: initialisation fails
    };
    const std::filesystem::path file =
        std::filesystem::temp_directory_path() / ("elsetry-orbit-" + std::to_string(::getpid()) + ".txt");
    {
        std::ofstream out(file);
        int catalogue = 91000;
        for (const TCase& c : cases) {
            const auto [l1, l2] = ElementLines({++catalogue, 6001.5, " 00000-0", c.Inclination, 0.0, c.Eccentricity,
                                                c.Perigee, c.MeanAnomaly, c.MeanMotion});
            out << "SAT " << catalogue << "\n" << l1 << "\n" << l2 << "\n";
        }
    }
    TSatelliteList list;
    list.LoadFromFile(file.string());
    std::filesystem::remove(file);
    ASSERT_EQ(list.Count(), static_cast<int>(std::size(cases)));
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const int index = list.IndexOfCatalogueNumber(std::to_string(91001 + i));
        EXPECT_EQ(list.GetSatellite(index)->RevolutionNumber, cases[i].Expected) << "case " << i;
    }
}

} // namespace
} // namespace elsetry
