// The near-earth model with chosen element sets: model choice, drag regime, lazy initialisation
// and its failure rules, the argument of latitude and the revolution number at load.

#include "OrbitTestSupport.h"
#include "elements/SatelliteList.h"
#include "orbit/SGP_Math.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

namespace elsetry {
namespace {

// A 98-minute, 51.6-degree orbit with some drag.
TElements LowOrbit()
{
    TElements e;
    e.Inclination = 51.6;
    e.Node = 40.0;
    e.Eccentricity = 0.0006;
    e.Perigee = 80.0;
    e.MeanAnomaly = 30.0;
    e.MeanMotion = 15.5;
    e.Bstar = " 30000-4";
    return e;
}

TEST(ModelChoice, PeriodOf225MinutesSelectsDeepSpace)
{
    // At 54.7356 degrees 3 cos^2 i - 1 vanishes, so the corrected period is 1440 / revolutions per day.
    TElements e = LowOrbit();
    e.Inclination = 54.7356;
    e.MeanMotion = 6.40010000; // 224.996 minutes
    TSatellite nearEarth;
    Parse(nearEarth, e);
    EXPECT_EQ(nearEarth.DeepSpace, 0);
    e.MeanMotion = 6.39990000; // 225.004 minutes
    TSatellite deepSpace;
    Parse(deepSpace, e);
    EXPECT_EQ(deepSpace.DeepSpace, 1);
}

TEST(NearEarthModel, SimpleDragForPerigeesBelow220Km)
{
    struct TCase {
        double MeanMotion, Eccentricity;
        int Expected;
    };
    // 16.3 rev/day with e = 0.005 has its perigee near 170 km; 15.5 rev/day near 300 km.
    const TCase cases[] = {{16.3, 0.005, 1}, {15.5, 0.0006, 0}, {16.0, 0.05, 1}};
    for (const TCase& c : cases) {
        TElements e = LowOrbit();
        e.MeanMotion = c.MeanMotion;
        e.Eccentricity = c.Eccentricity;
        TSatellite s;
        Parse(s, e);
        const TState state = PropagateMinutesKm(s, 60.0);
        EXPECT_EQ(s.SimpleDrag, c.Expected) << c.MeanMotion << ", " << c.Eccentricity;
        EXPECT_GT(Distance(state.R, {0.0, 0.0, 0.0}), 6378.135) << c.MeanMotion;
    }
}

TEST(NearEarthModel, DragLowersTheOrbitOverADay)
{
    TElements e = LowOrbit();
    TSatellite withDrag;
    Parse(withDrag, e);
    e.Bstar = " 00000-0";
    TSatellite withoutDrag;
    Parse(withoutDrag, e);
    const TState a = PropagateMinutesKm(withDrag, 1440.0);
    const TState b = PropagateMinutesKm(withoutDrag, 1440.0);
    // The decaying orbit runs ahead of the drag-free one along the track.
    EXPECT_GT(Distance(a.R, b.R), 0.1);
    EXPECT_LT(Distance(a.R, b.R), 50.0);
}

TEST(NearEarthModel, InitialisesOnceAndAgainAfterNewElements)
{
    TSatellite s;
    Parse(s, LowOrbit());
    EXPECT_EQ(s.ModelInitPending, 1);
    const TState first = PropagateMinutesKm(s, 100.0);
    EXPECT_EQ(s.ModelInitPending, 0);
    const TState again = PropagateMinutesKm(s, 100.0);
    EXPECT_EQ(Distance(first.R, again.R), 0.0);

    TElements other = LowOrbit();
    other.MeanAnomaly = 200.0;
    Parse(s, other);
    EXPECT_EQ(s.ModelInitPending, 1);
    const TState renewed = PropagateMinutesKm(s, 100.0);
    EXPECT_GT(Distance(first.R, renewed.R), 1000.0);
}

TEST(NearEarthModel, FailedInitialisationStaysPendingAndIsRetried)
{
    struct TCase {
        const char* What;
        void (*Spoil)(TSatellite&);
    };
    const TCase cases[] = {
        {"mean motion 0", [](TSatellite& s) { s.MeanMotion = 0.0; }},
        {"negative mean motion", [](TSatellite& s) { s.MeanMotion = -0.06; }},
        {"eccentricity 0", [](TSatellite& s) { s.Eccentricity = 0.0; }},
        {"eccentricity 1", [](TSatellite& s) { s.Eccentricity = 1.0; }},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.What);
        TSatellite s;
        Parse(s, LowOrbit());
        const double meanMotion = s.MeanMotion;
        const double eccentricity = s.Eccentricity;
        c.Spoil(s);
        double r[3];
        double v[3];
        EXPECT_THROW(s.PropagateNearEarth(r, v, 0.0), EMathError);
        EXPECT_EQ(s.ModelInitPending, 1);
        s.MeanMotion = meanMotion;
        s.Eccentricity = eccentricity;
        EXPECT_NO_THROW(s.PropagateNearEarth(r, v, 0.0));
        EXPECT_EQ(s.ModelInitPending, 0);
    }
}

TEST(NearEarthModel, ACompletelyDecayedOrbitIsAnErrorNotInfinity)
{
    TElements e = LowOrbit();
    e.MeanMotion = 16.3;
    e.Eccentricity = 0.005;
    e.Bstar = " 50000-2";
    TSatellite s;
    Parse(s, e);
    double r[3];
    double v[3];
    s.PropagateNearEarth(r, v, 0.0);
    ASSERT_EQ(s.SimpleDrag, 1);
    // The time at which 1 - C1 t, and with it the semi-major axis, reaches 0.
    const double c1 = TSatelliteModelProbe::NearEarth(s).C1;
    double t = 1.0 / c1;
    while (1.0 - c1 * t > 0.0)
        t = std::nextafter(t, 1.0e300);
    while (1.0 - c1 * t < 0.0)
        t = std::nextafter(t, 0.0);
    ASSERT_EQ(1.0 - c1 * t, 0.0);
    EXPECT_THROW(s.PropagateNearEarth(r, v, t), EMathError);
}

TEST(NearEarthModel, NegativeArgumentOfLatitudeIsBroughtIntoRange)
{
    // Near-circular with w + M = 350 degrees: the model's own angle comes out negative.
    TElements e = LowOrbit();
    e.Perigee = 0.0;
    e.MeanAnomaly = 350.0;
    TSatellite direct;
    Parse(direct, e);
    double r[3];
    double v[3];
    direct.PropagateNearEarth(r, v, 0.0);
    ASSERT_LT(direct.ArgumentOfLatitude, 0.0);

    TSatellite throughTime;
    Parse(throughTime, e);
    throughTime.PropagateToTime(r, v, throughTime.EpochJulian);
    EXPECT_DOUBLE_EQ(throughTime.ArgumentOfLatitude, direct.ArgumentOfLatitude + TwoPi);
    EXPECT_NEAR(throughTime.ArgumentOfLatitude, TwoPi - 10.0 * Pi / 180.0, 0.01);
}

class LoadTimeRevolution : public ::testing::Test {
protected:
    void SetUp() override
    {
        Folder = std::filesystem::temp_directory_path()
                 / ("elsetry-orbit-" + std::to_string(::getpid()) + "-"
                    + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(Folder);
    }
    void TearDown() override { std::filesystem::remove_all(Folder); }

    // Loads the sets from a three-line file and returns each one's revolution number.
    std::vector<double> LoadedRevolutions(const std::vector<TElements>& Sets)
    {
        const std::string file = (Folder / "sets.txt").string();
        {
            std::ofstream out(file);
            for (const TElements& e : Sets) {
                const auto [l1, l2] = ElementLines(e);
                out << "SAT " << e.Catalogue << "\n" << l1 << "\n" << l2 << "\n";
            }
        }
        TSatelliteList list;
        list.LoadFromFile(file);
        std::vector<double> revolutions;
        for (const TElements& e : Sets) {
            char number[8];
            std::snprintf(number, sizeof number, "%05d", e.Catalogue);
            const int index = list.IndexOfCatalogueNumber(number);
            revolutions.push_back(index < 0 ? -1.0 : list.GetSatellite(index)->RevolutionNumber);
        }
        return revolutions;
    }

    std::filesystem::path Folder;
};

TEST_F(LoadTimeRevolution, SouthernHalfAtEpochRaisesTheNumberByOne)
{
    struct TCase {
        double Inclination, Perigee, MeanAnomaly, MeanMotion, Eccentricity;
        double Expected;
    };
    const TCase cases[] = {
        {51.6, 0.0, 90.0, 15.5, 0.0006, 100.0},  // u near 90 degrees
        {51.6, 0.0, 200.0, 15.5, 0.0006, 101.0}, // u near 200 degrees
        {51.6, 0.0, 350.0, 15.5, 0.0006, 101.0}, // u slightly below 0, brought to near 2 pi
        {51.6, 0.0, 90.0, 15.5, 0.0, 100.0},     // eccentricity 0: near-earth initialisation fails
        {51.6, 0.0, 270.0, 15.5, 0.0, 100.0},    // ... and the number stays even in the south
        {63.4, 90.0, 180.0, 2.0056, 0.7, 101.0}, // deep space at apogee, u near 270 degrees
        {63.4, 90.0, 0.0, 2.0056, 0.7, 100.0},   // deep space at perigee, u near 90 degrees
        {0.0, 0.0, 270.0, 1.0027, 0.0002, 100.0}, // deep space, inclination 0: initialisation fails
    };
    std::vector<TElements> sets;
    int catalogue = 91000;
    for (const TCase& c : cases) {
        TElements e;
        e.Catalogue = ++catalogue;
        e.Inclination = c.Inclination;
        e.Perigee = c.Perigee;
        e.MeanAnomaly = c.MeanAnomaly;
        e.MeanMotion = c.MeanMotion;
        e.Eccentricity = c.Eccentricity;
        sets.push_back(e);
    }
    const std::vector<double> revolutions = LoadedRevolutions(sets);
    for (std::size_t i = 0; i < sets.size(); ++i)
        EXPECT_EQ(revolutions[i], cases[i].Expected) << "case " << i;
}

} // namespace
} // namespace elsetry
