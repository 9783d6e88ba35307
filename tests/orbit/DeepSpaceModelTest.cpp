// The deep-space model with chosen element sets: resonance cases, the integrator's restart
// rules and continuity, the caches, the Lyddane form and the failure rules.

#include "OrbitTestSupport.h"
#include "orbit/SGP_Math.h"
#include "orbit/SGP_Time.h"

#include <gtest/gtest.h>

#include <cmath>

namespace elsetry {
namespace {

double Below(double X)
{
    return std::nextafter(X, 0.0);
}

// Fields: catalogue, epoch, B*, inclination, node, eccentricity, perigee, mean anomaly, rev/day.
const TElements Molniya{92001, 6001.5, " 00000-0", 63.4, 100.0, 0.72, 270.0, 10.0, 2.00563};
TElements Geosynchronous(double Inclination)
{
    return {92002, 6001.5, " 00000-0", Inclination, 80.0, 0.0002, 90.0, 200.0, 1.00272};
}
// Deep space, not resonant, below the Lyddane limit.
const TElements Transfer{92003, 6001.5, " 00000-0", 7.0, 300.0, 0.72, 180.0, 20.0, 2.3};

TEST(DeepSpaceModel, ResonanceCaseFollowsTheOrbit)
{
    struct TCase {
        TElements Elements;
        int Resonant, Synchronous;
    };
    for (const TCase& c : {TCase{Molniya, 1, 0}, TCase{Geosynchronous(0.03), 1, 1}, TCase{Transfer, 0, 0}}) {
        TSatellite s;
        Parse(s, c.Elements);
        PropagateKm(s, 0.0);
        EXPECT_EQ(s.DeepSpace, 1);
        EXPECT_EQ(s.Resonant, c.Resonant) << c.Elements.Catalogue;
        EXPECT_EQ(s.Synchronous, c.Synchronous) << c.Elements.Catalogue;
    }
}

TEST(DeepSpaceModel, VelocityMatchesTheMotionOfThePosition)
{
    for (const TElements& e : {Molniya, Geosynchronous(0.03), Geosynchronous(5.0), Transfer}) {
        TSatellite s;
        Parse(s, e);
        for (double t = -1440.0; t <= 2880.0; t += 97.0) {
            // 0.01 minutes apart: the periodic terms come from the same cached evaluation.
            const TState a = PropagateKm(s, t);
            const TState b = PropagateKm(s, t + 0.01);
            double predicted[3];
            for (int k = 0; k < 3; ++k)
                predicted[k] = a.R[k] + 0.5 * (a.V[k] + b.V[k]) * 0.6;
            // The model's velocity leaves out the slow secular drifts: it matches to parts in 1000.
            EXPECT_LT(Distance(predicted, b.R), 5.0e-3 * Distance(a.V, {0.0, 0.0, 0.0}) * 0.6)
                << e.Catalogue << " at " << t;
        }
    }
}

TEST(DeepSpaceModel, IntegratorFollowsItsRestartRules)
{
    TSatellite s;
    Parse(s, Molniya);
    const double sequence[][2] = {{1500.0, 1440.0}, {1000.0, 720.0}, {-100.0, 0.0},   {-1500.0, -1440.0},
                                  {-800.0, -720.0}, {100.0, 0.0},    {2000.0, 1440.0}, {719.0, 0.0},
                                  {720.0, 720.0},   {0.0, 0.0},      {-100.0, 0.0}};
    for (const auto& [minutes, integratorTime] : sequence) {
        PropagateKm(s, minutes);
        EXPECT_EQ(TOrbitModelProbe::Deep(s).IntegratorTime, integratorTime) << "t = " << minutes;
    }
    const TDeepSpaceState& d = TOrbitModelProbe::Deep(s);
    EXPECT_EQ(d.Lambda, d.Lambda0);
    EXPECT_EQ(d.IntegratorMeanMotion, d.MeanMotion);
}

TEST(DeepSpaceModel, ContinuingOrRestartingGivesTheFreshResult)
{
    for (const TElements& e : {Molniya, Geosynchronous(0.03)}) {
        TSatellite used;
        Parse(used, e);
        // Each pair: a call that leaves the integrator elsewhere, then the time compared.
        for (const auto& [before, t] : {std::pair{1000.0, 1500.0}, {4000.0, -2000.0}, {3000.0, 100.0}}) {
            TSatellite fresh;
            Parse(fresh, e);
            PropagateKm(used, before);
            const TState a = PropagateKm(used, t);
            EXPECT_EQ(Distance(a.R, PropagateKm(fresh, t).R), 0.0) << e.Catalogue << " at " << t;
        }
    }
}

TEST(DeepSpaceModel, SteppingBackAgreesWithAForwardIntegration)
{
    for (const TElements& e : {Molniya, Geosynchronous(0.03)}) {
        TSatellite forward;
        Parse(forward, e);
        TSatellite back;
        Parse(back, e);
        PropagateKm(back, 10000.0);
        for (double t : {5000.0, 3000.0, 1000.0})
            EXPECT_LT(Distance(PropagateKm(back, t).R, PropagateKm(forward, t).R), 0.002) << t;
    }
}

TEST(DeepSpaceModel, PositionIsContinuousAcrossIntegratorSteps)
{
    for (const TElements& e : {Molniya, Geosynchronous(0.03)}) {
        TSatellite s;
        Parse(s, e);
        for (double step : {720.0, 1440.0, -720.0, -2160.0}) {
            const TState before = PropagateKm(s, step - 0.001);
            const TState after = PropagateKm(s, step + 0.001);
            double predicted[3];
            for (int k = 0; k < 3; ++k)
                predicted[k] = before.R[k] + 0.5 * (before.V[k] + after.V[k]) * 0.12;
            EXPECT_LT(Distance(predicted, after.R), 0.0005) << e.Catalogue << " at " << step;
        }
    }
}

TEST(DeepSpaceModel, PeriodicTermsAreReusedWithin30Minutes)
{
    TSatellite s;
    Parse(s, Molniya);
    const double sequence[][2] = {{0.0, 0.0},  {20.0, 0.0}, {30.0, 30.0},  {59.9, 30.0},
                                  {0.5, 30.0}, {0.0, 0.0},  {-30.0, -30.0}};
    for (const auto& [minutes, cacheTime] : sequence) {
        PropagateKm(s, minutes);
        EXPECT_EQ(TOrbitModelProbe::Deep(s).PeriodicTime, cacheTime) << "t = " << minutes;
    }
    // Reused terms show: 20 minutes after a call at 0 differs a little from a fresh call at 20.
    TSatellite reused;
    Parse(reused, Molniya);
    PropagateKm(reused, 0.0);
    TSatellite fresh;
    Parse(fresh, Molniya);
    const double gap = Distance(PropagateKm(reused, 20.0).R, PropagateKm(fresh, 20.0).R);
    EXPECT_GT(gap, 0.0);
    EXPECT_LT(gap, 1.0);
}

TEST(DeepSpaceModel, LunarEpochTermsAreKeptForTheSameEpochDay)
{
    TSatellite s;
    Parse(s, Molniya);
    PropagateKm(s, 0.0);
    TDeepSpaceState& d = TOrbitModelProbe::Deep(s);
    EXPECT_DOUBLE_EQ(d.Lunar.Day, SiderealAngleAtEpoch(s.EpochYearDay).DaysSince1950 + DaysFrom1900To1950);
    // Same epoch again: the kept terms are used as they are, even a spoiled one.
    d.Lunar.MoonMeanAnomaly = 123.0;
    Parse(s, Molniya);
    PropagateKm(s, 0.0);
    EXPECT_EQ(d.Lunar.MoonMeanAnomaly, 123.0);
    TElements later = Molniya;
    later.Epoch += 1.0;
    Parse(s, later);
    PropagateKm(s, 0.0);
    EXPECT_LT(d.Lunar.MoonMeanAnomaly, TwoPi);
}

TEST(DeepSpaceModel, LyddaneFormIsChosenByTheEpochInclination)
{
    for (const auto& [epochInclination, lyddane] : {std::pair{0.2, false}, {Below(0.2), true}, {0.5, false}}) {
        TSatellite s;
        Parse(s, Transfer);
        s.Inclination = epochInclination;
        PropagateKm(s, 0.0);
        // The current inclination handed in lies on the other side of 0.2 rad on purpose.
        double e = 0.7, i = lyddane ? 0.3 : 0.1, omega = 1.0, node = 10.0, m = 0.5;
        TOrbitModelProbe::Periodic(s, 100.0, e, i, omega, node, m);
        // The Lyddane form recovers the node by an arctangent, within (-pi/2, 3pi/2].
        if (lyddane)
            EXPECT_LE(node, 1.5 * Pi) << epochInclination;
        else
            EXPECT_NEAR(node, 10.0, 0.01) << epochInclination;
    }
}

TEST(DeepSpaceModel, NodeTermsAreLeftOutBelow3Degrees)
{
    for (const auto& [epochInclination, nodeTerms] :
         {std::pair{0.052359877, true}, {Below(0.052359877), false}, {0.001, false}}) {
        TSatellite s;
        Parse(s, Geosynchronous(1.0));
        s.Inclination = epochInclination;
        PropagateKm(s, 0.0);
        EXPECT_EQ(TOrbitModelProbe::Deep(s).NodeRate != 0.0, nodeTerms) << epochInclination;
    }
}

TEST(DeepSpaceModel, NegativeSecularInclinationIsReflected)
{
    TSatellite s;
    Parse(s, Transfer);
    PropagateKm(s, 0.0);
    TDeepSpaceState& d = TOrbitModelProbe::Deep(s);
    d.InclinationRate = -0.001;
    double m = 1.0, omega = 2.0, node = 3.0, e = 0.0, i = 0.0, n = d.MeanMotion;
    TOrbitModelProbe::Secular(s, 200.0, m, omega, node, e, i, n);
    EXPECT_NEAR(i, 0.2 - d.Inclination, 1e-15);
    EXPECT_NEAR(node, 3.0 + d.NodeRate * 200.0 + Pi, 1e-12);
    EXPECT_NEAR(omega, 2.0 + d.PerigeeRate * 200.0 - Pi, 1e-12);
}

TEST(DeepSpaceModel, InclinationZeroFailsAfterTheModelIsMarkedInitialised)
{
    TSatellite s;
    Parse(s, Geosynchronous(0.0));
    double r[3];
    double v[3];
    EXPECT_THROW(s.PropagateDeepSpace(r, v, 0.0), EMathError);
    EXPECT_EQ(s.ModelInitPending, 0);
    // Later propagations fail too instead of running on the incomplete state.
    EXPECT_THROW(s.PropagateDeepSpace(r, v, 1440.0), EMathError);
    Parse(s, Geosynchronous(0.01));
    EXPECT_NO_THROW(s.PropagateDeepSpace(r, v, 1440.0));
}

TEST(DeepSpaceModel, ResonantTimesCenturiesAwayAreRefusedInsteadOfIntegrated)
{
    TSatellite s;
    Parse(s, Molniya);
    double r[3];
    double v[3];
    EXPECT_THROW(s.PropagateDeepSpace(r, v, 1.0e15), EMathError);
    EXPECT_THROW(s.PropagateDeepSpace(r, v, -1.0e15), EMathError);
    EXPECT_NO_THROW(s.PropagateDeepSpace(r, v, 5.0e6));
}

} // namespace
} // namespace elsetry
