#include "orbit/EpochTime.h"

#include <gtest/gtest.h>

using namespace elsetry;

TEST(EpochTimeTest, JulianDateOfYearIsTheZerothOfJanuary)
{
    EXPECT_DOUBLE_EQ(JulianDateOfYear(2008), 2454465.5);
    EXPECT_DOUBLE_EQ(JulianDateOfYear(2000), 2451543.5); // 1 Jan 2000 0h is 2451544.5
    EXPECT_DOUBLE_EQ(JulianDateOfYear(1950), 2433281.5);
}

TEST(EpochTimeTest, EpochToJulianUsesThe57Pivot)
{
    EXPECT_NEAR(EpochToJulian(8264.51782528), 2454465.5 + 264.51782528, 1e-8);
    EXPECT_DOUBLE_EQ(EpochToJulian(56001.0), JulianDateOfYear(2056) + 1.0);
    EXPECT_DOUBLE_EQ(EpochToJulian(57001.0), JulianDateOfYear(1957) + 1.0);
    EXPECT_DOUBLE_EQ(EpochToJulian(99365.5), JulianDateOfYear(1999) + 365.5);
    EXPECT_EQ(EpochYear(0), 2000);
    EXPECT_EQ(EpochYear(56), 2056);
    EXPECT_EQ(EpochYear(57), 1957);
}

TEST(EpochTimeTest, DateTimeCountsToTheHundredth)
{
    EXPECT_DOUBLE_EQ(FractionOfDay(12, 30, 0, 0), 0.5 + 30.0 / 1440.0);
    const TDateTime noon{2006, 6, 20, 12, 30, 0, 0};
    EXPECT_DOUBLE_EQ(DateTimeToJulian(noon), JulianDateOfYear(2006) + 171 + FractionOfDay(12, 30, 0, 0));
    const TDateTime withMilliseconds{2006, 6, 20, 0, 0, 1, 239};
    EXPECT_DOUBLE_EQ(DateTimeToJulian(withMilliseconds), JulianDateOfYear(2006) + 171 + 1.23 / 86400.0);
}
