// The deep-space model with chosen element sets: resonance cases, the integrator's restart
// rules, its continuity, the caches, the Lyddane form and the failure rules.

#include "OrbitTestSupport.h"
#include "orbit/SGP_Math.h"
#include "orbit/SGP_Time.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace elsetry {
namespace {

double Below(double X)
{
    return std::nextafter(X, 0.0);
}

// A 12-hour Molniya-type orbit.
TElements Molniya()
{
    TElements e;
    e.Catalogue = 92001;
    e.Inclination = 63.4;
    e.Node = 100.0;
    e.Eccentricity = 0.72;
    e.Perigee = 270.0;
    e.MeanAnomaly = 10.0;
    e.MeanMotion = 2.00563;
    return e;
}

TElements Geosynchronous(double InclinationDegrees)
{
    TElements e;
    e.Catalogue = 92002;
    e.Inclination = InclinationDegrees;
    e.Node = 80.0;
    e.Eccentricity = 0.0002;
    e.Perigee = 90.0;
    e.MeanAnomaly = 200.0;
    e.MeanMotion = 1.00272;
    return e;
}

// A transfer orbit of 7 degrees: deep space, not resonant, below the Lyddane limit.
TElements LowInclinationTransfer()
{
    TElements e;
    e.Catalogue = 92003;
    e.Inclination = 7.0;
    e.Node = 300.0;
    e.Eccentricity = 0.72;
    e.Perigee = 180.0;
    e.MeanAnomaly = 20.0;
    e.MeanMotion = 2.3;
    return e;
}

struct TNamedSet {
    const char* Name;
    TElements Elements;
};

std::vector<TNamedSet> ChosenSets()
{
    return {{"Molniya", Molniya()},
            {"geosynchronous 0.03 deg", Geosynchronous(0.03)},
            {"geosynchronous 5 deg", Geosynchronous(5.0)},
            {"low-inclination transfer", LowInclinationTransfer()}};
}

TEST(DeepSpaceModel, ResonanceCaseFollowsTheOrbit)
{
    struct TCase {
        TElements Elements;
        int Resonant, Synchronous;
    };
    const TCase cases[] = {{Molniya(), 1, 0}, {Geosynchronous(0.03), 1, 1}, {LowInclinationTransfer(), 0, 0}};
    for (const TCase& c : cases) {
        TSatellite s;
        Parse(s, c.Elements);
        ASSERT_EQ(s.DeepSpace, 1);
        PropagateMinutesKm(s, 0.0);
        EXPECT_EQ(s.Resonant, c.Resonant) << c.Elements.Catalogue;
        EXPECT_EQ(s.Synchronous, c.Synchronous) << c.Elements.Catalogue;
    }
}

TEST(DeepSpaceModel, VelocityMatchesTheMotionOfThePosition)
{
    for (const TNamedSet& set : ChosenSets()) {
        SCOPED_TRACE(set.Name);
        TSatellite s;
        Parse(s, set.Elements);
        for (double t = -1440.0; t <= 2880.0; t += 97.0) {
            // 0.01 minutes apart: the periodic terms come from the same cached evaluation.
            const TState a = PropagateMinutesKm(s, t);
            const TState b = PropagateMinutesKm(s, t + 0.01);
            double predicted[3];
            for (int k = 0; k < 3; ++k)
                predicted[k] = a.R[k] + 0.5 * (a.V[k] + b.V[k]) * 0.6;
            const double speed = std::sqrt(a.V[0] * a.V[0] + a.V[1] * a.V[1] + a.V[2] * a.V[2]);
            // The model's velocity leaves out the slow secular drifts, so it matches to a few parts in 1000.
            EXPECT_LT(Distance(predicted, b.R), 5.0e-3 * speed * 0.6) << "t = " << t;
        }
    }
}

TEST(DeepSpaceModel, IntegratorFollowsItsRestartRules)
{
    TSatellite s;
    Parse(s, Molniya());
    struct TStepCase {
        double Minutes;
        double IntegratorTime;
    };
    const TStepCase sequence[] = {{1500.0, 1440.0}, {1000.0, 720.0}, {-100.0, 0.0},   {-1500.0, -1440.0},
                                  {-800.0, -720.0}, {100.0, 0.0},    {2000.0, 1440.0}, {3000.0, 2880.0},
                                  {719.0, 0.0},     {720.0, 720.0},   {0.0, 0.0}};
    for (const TStepCase& c : sequence) {
        PropagateMinutesKm(s, c.Minutes);
        EXPECT_EQ(TSatelliteModelProbe::Deep(s).IntegratorTime, c.IntegratorTime) << "t = " << c.Minutes;
    }
    // A restart without a step leaves the integrator at its epoch values.
    PropagateMinutesKm(s, -100.0);
    const TDeepSpaceState& d = TSatelliteModelProbe::Deep(s);
    EXPECT_EQ(d.Lambda, d.Lambda0);
    EXPECT_EQ(d.IntegratorMeanMotion, d.MeanMotion);
}

TEST(DeepSpaceModel, IntegratorRestartsGiveTheFreshResult)
{
    for (const TElements& e : {Molniya(), Geosynchronous(0.03)}) {
        TSatellite fresh;
        Parse(fresh, e);
        TSatellite used;
        Parse(used, e);
        // Continuing forward from 1000 and restarting from the other side of epoch both repeat
        // exactly the steps a fresh integration takes.
        PropagateMinutesKm(used, 1000.0);
        const TState forward = PropagateMinutesKm(used, 1500.0);
        EXPECT_EQ(Distance(forward.R, PropagateMinutesKm(fresh, 1500.0).R), 0.0) << e.Catalogue;
        PropagateMinutesKm(used, 4000.0);
        const TState back = PropagateMinutesKm(used, -2000.0);
        EXPECT_EQ(Distance(back.R, PropagateMinutesKm(fresh, -2000.0).R), 0.0) << e.Catalogue;
        // Stepping back all the way to epoch also restarts there rather than going on from the
        // stepped-back values.
        PropagateMinutesKm(used, 3000.0);
        const TState nearEpoch = PropagateMinutesKm(used, 100.0);
        EXPECT_EQ(Distance(nearEpoch.R, PropagateMinutesKm(fresh, 100.0).R), 0.0) << e.Catalogue;
    }
}

TEST(DeepSpaceModel, SteppingBackAgreesWithAForwardIntegration)
{
    for (const TElements& e : {Molniya(), Geosynchronous(0.03)}) {
        TSatellite forward;
        Parse(forward, e);
        TSatellite steppedBack;
        Parse(steppedBack, e);
        PropagateMinutesKm(steppedBack, 10000.0);
        for (double t : {5000.0, 3000.0, 1000.0}) {
            const TState back = PropagateMinutesKm(steppedBack, t);
            const TState ahead = PropagateMinutesKm(forward, t);
            EXPECT_LT(Distance(back.R, ahead.R), 0.002) << e.Catalogue << " at " << t;
        }
    }
}

TEST(DeepSpaceModel, PositionIsContinuousAcrossIntegratorSteps)
{
    for (const TElements& e : {Molniya(), Geosynchronous(0.03)}) {
        TSatellite s;
        Parse(s, e);
        for (double step : {720.0, 1440.0, -720.0, -2160.0}) {
            const double d = 0.001;
            const TState before = PropagateMinutesKm(s, step - d);
            const TState after = PropagateMinutesKm(s, step + d);
            double predicted[3];
            for (int k = 0; k < 3; ++k)
                predicted[k] = before.R[k] + 0.5 * (before.V[k] + after.V[k]) * 2.0 * d * 60.0;
            EXPECT_LT(Distance(predicted, after.R), 0.0005) << e.Catalogue << " at " << step;
        }
    }
}

TEST(DeepSpaceModel, PeriodicTermsAreReusedWithin30Minutes)
{
    TSatellite s;
    Parse(s, Molniya());
    struct TCase {
        double Minutes, CacheTime;
    };
    const TCase sequence[] = {{0.0, 0.0}, {20.0, 0.0}, {30.0, 30.0}, {59.9, 30.0}, {0.5, 30.0}, {0.0, 0.0}, {-30.0, -30.0}};
    for (const TCase& c : sequence) {
        PropagateMinutesKm(s, c.Minutes);
        EXPECT_EQ(TSatelliteModelProbe::Deep(s).PeriodicTime, c.CacheTime) << "t = " << c.Minutes;
    }
    // At t = 0 the integrator restarts at epoch and takes no step.
    EXPECT_EQ(TSatelliteModelProbe::Deep(s).IntegratorTime, -720.0 + 720.0);

    // Reused terms show: 20 minutes after a call at 0 differs from a fresh call at 20.
    TSatellite reused;
    Parse(reused, Molniya());
    PropagateMinutesKm(reused, 0.0);
    TSatellite fresh;
    Parse(fresh, Molniya());
    const double gap = Distance(PropagateMinutesKm(reused, 20.0).R, PropagateMinutesKm(fresh, 20.0).R);
    EXPECT_GT(gap, 0.0);
    EXPECT_LT(gap, 1.0);
}

TEST(DeepSpaceModel, LunarEpochTermsAreKeptForTheSameEpochDay)
{
    TSatellite s;
    Parse(s, Molniya());
    PropagateMinutesKm(s, 0.0);
    TDeepSpaceState& d = TSatelliteModelProbe::Deep(s);
    EXPECT_DOUBLE_EQ(d.Lunar.Day, DaysSince1950 + 18261.5);

    // Same epoch again: the kept terms are used as they are, even a spoiled one.
    d.Lunar.MoonMeanAnomaly = 123.0;
    Parse(s, Molniya());
    PropagateMinutesKm(s, 0.0);
    EXPECT_EQ(d.Lunar.MoonMeanAnomaly, 123.0);

    TElements later = Molniya();
    later.Epoch += 1.0;
    Parse(s, later);
    PropagateMinutesKm(s, 0.0);
    EXPECT_LT(d.Lunar.MoonMeanAnomaly, TwoPi);
    EXPECT_DOUBLE_EQ(d.Lunar.Day, DaysSince1950 + 18261.5);
}

TEST(DeepSpaceModel, LyddaneFormIsChosenByTheEpochInclination)
{
    struct TCase {
        double EpochInclination;
        bool Lyddane;
    };
    const TCase cases[] = {{0.2, false}, {Below(0.2), true}, {0.5, false}, {0.1, true}};
    for (const TCase& c : cases) {
        TSatellite s;
        Parse(s, LowInclinationTransfer());
        s.Inclination = c.EpochInclination;
        PropagateMinutesKm(s, 0.0);
        // The current inclination handed in lies on the other side of 0.2 rad on purpose.
        double e = 0.7;
        double i = c.Lyddane ? 0.3 : 0.1;
        double omega = 1.0;
        double node = 10.0;
        double m = 0.5;
        TSatelliteModelProbe::Periodic(s, 100.0, e, i, omega, node, m);
        if (c.Lyddane) {
            // The Lyddane form recovers the node by an arctangent, within (-pi/2, 3pi/2].
            EXPECT_LE(node, 1.5 * Pi) << c.EpochInclination;
        } else {
            EXPECT_NEAR(node, 10.0, 0.01) << c.EpochInclination;
        }
    }
}

TEST(DeepSpaceModel, NodeTermsAreLeftOutBelow3Degrees)
{
    struct TCase {
        double EpochInclination;
        bool NodeTerms;
    };
    const TCase cases[] = {{0.052359877, true}, {Below(0.052359877), false}, {0.001, false}, {0.1, true}};
    for (const TCase& c : cases) {
        TSatellite s;
        Parse(s, Geosynchronous(1.0));
        s.Inclination = c.EpochInclination;
        PropagateMinutesKm(s, 0.0);
        const TDeepSpaceState& d = TSatelliteModelProbe::Deep(s);
        EXPECT_EQ(d.NodeRate != 0.0, c.NodeTerms) << c.EpochInclination;
        EXPECT_NE(d.PerigeeRate, 0.0) << c.EpochInclination;
    }
}

TEST(DeepSpaceModel, NegativeSecularInclinationIsReflected)
{
    TSatellite s;
    Parse(s, LowInclinationTransfer());
    PropagateMinutesKm(s, 0.0);
    TDeepSpaceState& d = TSatelliteModelProbe::Deep(s);
    d.InclinationRate = -0.001;
    const double t = 200.0;
    double m = 1.0;
    double omega = 2.0;
    double node = 3.0;
    double e = 0.0;
    double i = 0.0;
    double n = d.MeanMotion;
    TSatelliteModelProbe::Secular(s, t, m, omega, node, e, i, n);
    EXPECT_NEAR(i, -(d.Inclination - 0.001 * t), 1e-15);
    EXPECT_NEAR(node, 3.0 + d.NodeRate * t + Pi, 1e-12);
    EXPECT_NEAR(omega, 2.0 + d.PerigeeRate * t - Pi, 1e-12);
}

TEST(DeepSpaceModel, InclinationZeroFailsAfterTheModelIsMarkedInitialised)
{
    TSatellite s;
    Parse(s, Geosynchronous(0.0));
    ASSERT_EQ(s.DeepSpace, 1);
    double r[3];
    double v[3];
    EXPECT_THROW(s.PropagateDeepSpace(r, v, 0.0), EMathError);
    EXPECT_EQ(s.ModelInitPending, 0);
    // Later propagations fail too instead of running on the incomplete state.
    EXPECT_THROW(s.PropagateDeepSpace(r, v, 0.0), EMathError);
    EXPECT_THROW(s.PropagateDeepSpace(r, v, 1440.0), EMathError);
    // New elements initialise afresh.
    Parse(s, Geosynchronous(0.01));
    EXPECT_NO_THROW(s.PropagateDeepSpace(r, v, 1440.0));
}

TEST(DeepSpaceModel, OnlyDeepSpaceSetsCarryDeepSpaceState)
{
    TSatellite nearEarth;
    TElements low = LowInclinationTransfer();
    low.MeanMotion = 15.0;
    low.Eccentricity = 0.001;
    Parse(nearEarth, low);
    PropagateMinutesKm(nearEarth, 0.0);
    EXPECT_FALSE(TSatelliteModelProbe::HasDeep(nearEarth));
    TSatellite deep;
    Parse(deep, Molniya());
    PropagateMinutesKm(deep, 0.0);
    EXPECT_TRUE(TSatelliteModelProbe::HasDeep(deep));
}

} // namespace
} // namespace elsetry
