#include "text/Calendar.h"

#include <gtest/gtest.h>

using namespace elsetry;

namespace {

TEST(CalendarTest, LeapYearsAndFebruary)
{
    struct TCase {
        int Year;
        bool Leap;
    };
    const TCase cases[] = {{1900, false}, {1957, false}, {2000, true}, {2006, false},
                           {2008, true},  {2056, true},  {2100, false}, {2400, true}};
    for (const TCase& c : cases) {
        EXPECT_EQ(IsLeapYear(c.Year), c.Leap) << c.Year;
        EXPECT_EQ(DaysInMonth(c.Year, 2), c.Leap ? 29 : 28) << c.Year;
    }
    EXPECT_EQ(DaysInMonth(2000, 1), 31);
    EXPECT_EQ(DaysInMonth(2000, 4), 30);
    EXPECT_EQ(DaysInMonth(2000, 12), 31);
}

TEST(CalendarTest, DayOfYearCountsLeapDaysAfterFebruary)
{
    struct TCase {
        int Year;
        int Month;
        int Day;
        int DayOfYear;
    };
    const TCase cases[] = {
        {2006, 1, 1, 1},    {2006, 6, 20, 171}, {2008, 2, 29, 60},   {2008, 3, 1, 61},
        {1900, 3, 1, 60},   {2000, 3, 1, 61},   {2056, 3, 1, 61},    {2000, 12, 31, 366},
        {2006, 12, 31, 365}, {2006, 13, 1, 366}, // a month past 12 adds the whole year
    };
    for (const TCase& c : cases)
        EXPECT_EQ(DayOfYear(c.Year, c.Month, c.Day), c.DayOfYear) << c.Year << "-" << c.Month << "-" << c.Day;
}

} // namespace
