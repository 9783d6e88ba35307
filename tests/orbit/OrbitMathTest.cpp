// Maths and time functions of the orbit model, and its tables and thresholds.

#include "orbit/SGP_Constants.h"
#include "orbit/SGP_Drag.h"
#include "orbit/SGP_Math.h"
#include "orbit/SGP_Resonance.h"
#include "orbit/SGP_Time.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace elsetry {
namespace {

double Below(double X) { return std::nextafter(X, -1.0e300); }
double Above(double X) { return std::nextafter(X, 1.0e300); }

TEST(OrbitMath, QuadrantArcTanFollowsItsOwnQuadrantRule)
{
    struct TCase {
        double S, C, Expected;
    };
    const TCase cases[] = {
        {0.0, 0.0, 3.0 * Pi / 2.0}, {1.0, 0.0, Pi / 2.0},     {-1.0, 0.0, 3.0 * Pi / 2.0},
        {-1.0, 1.0, -Pi / 4.0},     {1.0, -1.0, 3.0 * Pi / 4.0}, {-1.0, -1.0, 5.0 * Pi / 4.0},
        {0.0, -2.0, Pi},            {0.0, 3.0, 0.0},
    };
    for (const TCase& c : cases)
        EXPECT_NEAR(QuadrantArcTan(c.S, c.C), c.Expected, 1e-15) << c.S << ", " << c.C;
}

TEST(OrbitMath, PositiveModulusAndWrapTwoPi)
{
    EXPECT_NEAR(PositiveModulus(-1.0, TwoPi), TwoPi - 1.0, 1e-15);
    EXPECT_EQ(PositiveModulus(4.0 * Pi, TwoPi), 0.0);
    EXPECT_NEAR(PositiveModulus(7.5, 2.0), 1.5, 1e-15);
    EXPECT_NEAR(PositiveModulus(-7.5, 2.0), 0.5, 1e-15);
    EXPECT_NEAR(WrapTwoPi(-0.1), TwoPi - 0.1, 1e-15);
    EXPECT_NEAR(WrapTwoPi(3.0 * TwoPi + 0.25), 0.25, 1e-13);
    EXPECT_THROW(PositiveModulus(1.0, 0.0), EMathError);
    // Beyond the 64-bit integer the quotient passes through.
    EXPECT_THROW(WrapTwoPi(1.0e20), EMathError);
}

TEST(OrbitMath, PowerGoesThroughExpAndLogAndRejectsNonPositiveBases)
{
    // Through exp and ln the last digits may differ.
    EXPECT_NEAR(Power(10.0, -4.0), 1.0e-4, 1.0e-4 * 1.0e-14);
    EXPECT_NEAR(Power(8.0, 1.0 / 3.0), 2.0, 1e-15);
    for (double base : {0.0, -8.0, -1.0e-300}) {
        try {
            Power(base, 1.0 / 3.0);
            ADD_FAILURE() << base;
        } catch (const EMathError& e) {
            EXPECT_STREQ(e.what(), "Invalid argument in Function Power!");
        }
    }
    EXPECT_THROW(Power(10.0, 400.0), EMathError); // overflow
    EXPECT_NEAR(ke, 0.0743669161, 1e-10);
}

TEST(SiderealTime, GreenwichAngleAtJ2000AndDaysSince1950)
{
    // 2000 January 1, 12 h UT: 280.46061837 degrees.
    const TSiderealEpoch j2000 = SiderealAngleAtEpoch(1.5);
    EXPECT_NEAR(j2000.Angle, 280.46061837 * Pi / 180.0, 1e-8);
    EXPECT_DOUBLE_EQ(j2000.DaysSince1950, 18263.5);
    const double angle = SiderealAngleAtEpoch(80230.29629788).Angle;
    EXPECT_GE(angle, 0.0);
    EXPECT_LT(angle, TwoPi);
}

TEST(SiderealTime, TwoDigitYearsBelow57AreThisCentury)
{
    // The day is cut from E * 0.001, so it carries that product's rounding.
    EXPECT_NEAR(SiderealAngleAtEpoch(56001.0).DaysSince1950, 38717.0, 1e-6); // 2056 January 1, 0 h
    EXPECT_NEAR(SiderealAngleAtEpoch(57001.0).DaysSince1950, 2558.0, 1e-6); // 1957 January 1, 0 h
    EXPECT_THROW(SiderealAngleAtEpoch(1.0e30), EMathError);
}

TEST(DragParameters, DensityFunctionFollowsThePerigeeHeight)
{
    struct TCase {
        double PerigeeKm;
        double SKm; // s* as a height
    };
    const TCase lowered[] = {{Below(156.0), Below(156.0) - 78.0}, {100.0, 22.0}, {98.5, 20.5}, {98.0, 20.0},
                             {50.0, 20.0},                         {-300.0, 20.0}};
    for (const TCase& c : lowered) {
        const TDensityParameters d = DensityParameters(c.PerigeeKm);
        EXPECT_NEAR(d.S, 1.0 + c.SKm / 6378.135, 1e-15) << c.PerigeeKm;
        EXPECT_NEAR(d.Qoms24, std::pow((120.0 - c.SKm) / 6378.135, 4.0), 1e-22) << c.PerigeeKm;
    }
    for (double h : {156.0, 1000.0}) {
        const TDensityParameters d = DensityParameters(h);
        EXPECT_EQ(d.S, DensityParameterS) << h;
        EXPECT_EQ(d.Qoms24, qoms2t) << h;
    }
}

TEST(DragParameters, SimpleDragBelowThe220KmPerigeeRadius)
{
    EXPECT_FALSE(UsesSimpleDrag(1.034492841559484));
    EXPECT_TRUE(UsesSimpleDrag(Below(1.034492841559484)));
    EXPECT_FALSE(UsesSimpleDrag(1.1));
}

TEST(Resonance, WindowsOfTheSynchronousAnd12HourCases)
{
    struct TCase {
        double N, E;
        TResonance Expected;
    };
    const TCase cases[] = {
        {0.0052359877, 0.0, TResonance::None},
        {Below(0.0052359877), 0.0, TResonance::Synchronous},
        {0.0034906585, 0.0, TResonance::None},
        {Above(0.0034906585), 0.9, TResonance::Synchronous},
        {0.0043752691, 0.7, TResonance::Synchronous},
        {0.00826, 0.5, TResonance::TwelveHour},
        {0.00924, 0.5, TResonance::TwelveHour},
        {0.0087, 0.74, TResonance::TwelveHour},
        {0.0087, Below(0.5), TResonance::None},
        {Below(0.00826), 0.7, TResonance::None},
        {Above(0.00924), 0.7, TResonance::None},
        {0.0099, 0.73, TResonance::None},
    };
    for (const TCase& c : cases)
        EXPECT_EQ(ResonanceOf(c.N, c.E), c.Expected) << c.N << ", " << c.E;
}

double Cubic(double E, double C0, double C1, double C2, double C3)
{
    return C0 + C1 * E + C2 * E * E + C3 * E * E * E;
}

TEST(Resonance, GFunctionColumnEdges)
{
    const double e = Above(0.65);
    EXPECT_NEAR(TwelveHourGFunctions(0.65).G211, Cubic(0.65, 3.616, -13.247, 16.29, 0.0), 1e-12);
    EXPECT_NEAR(TwelveHourGFunctions(e).G211, Cubic(e, -72.099, 331.819, -508.738, 266.724), 1e-12);
    EXPECT_NEAR(TwelveHourGFunctions(0.65).G520, Cubic(0.65, -532.114, 3017.977, -5740.0, 3708.276), 1e-9);
    EXPECT_NEAR(TwelveHourGFunctions(0.715).G520, Cubic(0.715, 1464.74, -4664.75, 3763.64, 0.0), 1e-9);
    const double f = Above(0.715);
    EXPECT_NEAR(TwelveHourGFunctions(f).G520, Cubic(f, -5149.66, 29936.92, -54087.36, 31324.56), 1e-9);
    EXPECT_NEAR(TwelveHourGFunctions(0.7).G533, Cubic(0.7, -37995.78, 161616.52, -229838.2, 109377.94), 1e-8);
    const double g = Below(0.7);
    EXPECT_NEAR(TwelveHourGFunctions(g).G532, Cubic(g, -853.666, 4690.25, -8624.77, 5341.4), 1e-9);
}

} // namespace
} // namespace elsetry
