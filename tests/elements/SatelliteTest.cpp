#include "elements/Satellite.h"

#include "tests/support/TestElementSets.h"
#include "orbit/EpochTime.h"
#include "orbit/SGP_Math.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace elsetry;
using namespace elsetry::test;

namespace {

constexpr double DegreesToRadians = Pi / 180.0;
constexpr double RevsPerDayToRadPerMinute = TwoPi / 1440.0;

TEST(ParseElementsTest, DecodesEveryFieldIntoModelUnits)
{
    TSatellite s;
    s.ParseElements(IssLine1, IssLine2);
    EXPECT_EQ(s.CatalogueNumber, "25544");
    EXPECT_STREQ(s.ElementSetNumber, "292");
    EXPECT_DOUBLE_EQ(s.EpochYearDay, 8264.51782528);
    EXPECT_NEAR(s.EpochJulian, 2454465.5 + 264.51782528, 1e-8);
    EXPECT_DOUBLE_EQ(s.MeanMotionDotOver2, -0.00002182 * TwoPi / (1440.0 * 1440.0));
    EXPECT_DOUBLE_EQ(s.MeanMotionDDotOver6, 0.0);
    EXPECT_NEAR(s.DragTerm, -0.11606e-4, 1e-18);
    EXPECT_NEAR(s.Inclination, 51.6416 * DegreesToRadians, 1e-15);
    EXPECT_NEAR(s.AscendingNode, 247.4627 * DegreesToRadians, 1e-15);
    EXPECT_NEAR(s.Eccentricity, 0.0006703, 1e-18);
    EXPECT_NEAR(s.ArgumentOfPerigee, 130.5360 * DegreesToRadians, 1e-15);
    EXPECT_NEAR(s.MeanAnomaly, 325.0288 * DegreesToRadians, 1e-15);
    EXPECT_NEAR(s.MeanMotion, 15.72125391 * RevsPerDayToRadPerMinute, 1e-15);
    EXPECT_DOUBLE_EQ(s.RevolutionNumber, 56353.0);
    EXPECT_EQ(s.DeepSpace, 0);
    EXPECT_EQ(s.ModelInitPending, 1);
    EXPECT_EQ(s.Line1, IssLine1);
}

TEST(ParseElementsTest, ReadsExponentFieldsAndImpliedPoints)
{
    struct TCase {
        const char* Drag;  // columns 54-61
        const char* DDot;  // columns 45-52
        double ExpectedDrag;
        double ExpectedDDotRevsPerDay3;
    };
    const TCase cases[] = {
        {" 12345-4", " 00000-0", 0.12345e-4, 0.0},
        {"-11606-4", " 12345-5", -0.11606e-4, 0.12345e-5},
        {" 00000-0", "-10000-1", 0.0, -0.01},
        {" 50000+1", " 00000+0", 5.0, 0.0},
    };
    for (const TCase& c : cases) {
        TSatellite s;
        s.ParseElements(WithColumns(WithColumns(IssLine1, 54, c.Drag), 45, c.DDot), IssLine2);
        EXPECT_NEAR(s.DragTerm, c.ExpectedDrag, 1e-15) << c.Drag;
        EXPECT_NEAR(s.MeanMotionDDotOver6 * 1440.0 * 1440.0 * 1440.0 / TwoPi, c.ExpectedDDotRevsPerDay3, 1e-15) << c.DDot;
    }
}

TEST(ParseElementsTest, ForgivesUnreadableFieldsAndKeepsTheRest)
{
    TSatellite s;
    // Eccentricity with an inner blank, a mean motion with a blank digit, letters in the node.
    std::string line2 = WithColumns(WithColumns(IssLine2, 27, "0001234"), 53, "14.1 345678");
    line2 = WithColumns(line2, 18, "24x.4627");
    const std::string line1 = WithColumns(IssLine1, 66, "  7");
    s.ParseElements(line1, line2);
    EXPECT_NEAR(s.Eccentricity, 0.0001234, 1e-18);
    EXPECT_NEAR(s.MeanMotion, 14.10345678 * RevsPerDayToRadPerMinute, 1e-15);
    EXPECT_DOUBLE_EQ(s.AscendingNode, 0.0);
    EXPECT_NEAR(s.Inclination, 51.6416 * DegreesToRadians, 1e-15);
    EXPECT_STREQ(s.ElementSetNumber, "007");
}

TEST(ParseElementsTest, ViewsTheLinesItWasGivenWhole)
{
    TSatellite s;
    const std::string line1 = IssLine1;
    const std::string line2 = IssLine2 + "  EXTRA TEXT";
    s.ParseElements(line1, line2);
    EXPECT_EQ(s.Line1.data(), line1.data());
    EXPECT_EQ(s.Line2, line2);
    EXPECT_EQ(s.CatalogueNumber.data(), line1.data() + 2);
}

TEST(ParseElementsTest, UnusableMeanMotionIsAnArithmeticError)
{
    TSatellite zero;
    EXPECT_THROW(zero.ParseElements(IssLine1, WithColumns(IssLine2, 53, "00000000000")), EMathError);
    TSatellite negative;
    try {
        negative.ParseElements(IssLine1, WithColumns(IssLine2, 53, "-1.00000000"));
        FAIL() << "a negative mean motion must not decode";
    } catch (const EMathError& error) {
        EXPECT_STREQ(error.what(), "Invalid argument in Function Power!");
    }
    TSatellite circularAtOne;
    EXPECT_THROW(circularAtOne.ParseElements(IssLine1, WithColumns(IssLine2, 27, "1.0e+07")), EMathError);
}

TEST(ParseElementsTest, PeriodOf225MinutesSelectsTheDeepSpaceModel)
{
    struct TCase {
        const char* MeanMotion;
        int DeepSpace;
    };
    // 1440 / 225 = 6.4 revolutions per day; the oblateness correction moves the limit slightly.
    const TCase cases[] = {{"15.72125391", 0}, {"06.42000000", 0}, {"06.38000000", 1},
                           {"02.00600000", 1}, {"01.00270000", 1}};
    for (const TCase& c : cases) {
        TSatellite s;
        s.ParseElements(IssLine1, WithColumns(IssLine2, 53, c.MeanMotion));
        EXPECT_EQ(s.DeepSpace, c.DeepSpace) << c.MeanMotion;
    }
}

TEST(ParseElementsTest, ParsingAgainReplacesTheSet)
{
    TSatellite s;
    s.ParseElements(IssLine1, IssLine2);
    s.ModelInitPending = 0;
    const std::string line1 = LineOne("11111", "09001.00000000");
    const std::string line2 = LineTwo("11111", "01.00270000");
    s.ParseElements(line1, line2);
    EXPECT_EQ(s.CatalogueNumber, "11111");
    EXPECT_EQ(s.DeepSpace, 1);
    EXPECT_EQ(s.ModelInitPending, 1);
    EXPECT_DOUBLE_EQ(s.EpochJulian, JulianDateOfYear(2009) + 1.0);
}

constexpr std::pair<const char*, const char*> ElementSetNumberCases[] = {
    {"292", "292"}, {"  7", "007"}, {"999", "999"}, {"-99", "-99"}, {"-10", "-10"},
    {"-05", "-5"},  {"-1 ", "-10"}, {" -5", "000"}, {"abc", "000"}, {"000", "000"},
};

TEST(ParseElementsTest, ShowsTheElementSetNumberInThreeDigits)
{
    for (const auto& [field, shown] : ElementSetNumberCases) {
        TSatellite s;
        const std::string line1 = WithColumns(IssLine1, 66, field);
        s.ParseElements(line1, IssLine2);
        EXPECT_STREQ(s.ElementSetNumber, shown) << "\"" << field << "\"";
    }
}

// The element set number is written anew each time, shorter texts too: nothing of the last set's
// number stays behind.
TEST(ParseElementsTest, ParsingAgainReplacesTheElementSetNumber)
{
    for (const auto& [field, shown] : ElementSetNumberCases) {
        TSatellite s;
        s.ParseElements(IssLine1, IssLine2);
        const std::string line1 = WithColumns(IssLine1, 66, field);
        s.ParseElements(line1, IssLine2);
        EXPECT_STREQ(s.ElementSetNumber, shown) << "\"" << field << "\" after \"292\"";
    }
}

} // namespace
