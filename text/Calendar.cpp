#include "text/Calendar.h"

#include <algorithm>

namespace elsetry {

namespace {

constexpr int MonthLengths[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
// The days of a common year before each month, and in all: every epoch read looks one up.
constexpr int DaysBeforeMonth[13] = {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334, 365};

} // namespace

bool IsLeapYear(int Year)
{
    return (Year % 4 == 0 && Year % 100 != 0) || Year % 400 == 0;
}

int DaysInMonth(int Year, int Month)
{
    return Month == 2 && IsLeapYear(Year) ? 29 : MonthLengths[Month - 1];
}

int DayOfYear(int Year, int Month, int Day)
{
    // A month before 1 counts no month before it, one past 12 the whole year.
    const int monthsBefore = std::clamp(Month - 1, 0, 12);
    return Day + DaysBeforeMonth[monthsBefore] + (monthsBefore >= 2 && IsLeapYear(Year) ? 1 : 0);
}

} // namespace elsetry
