#include "text/Calendar.h"

namespace elsetry {

namespace {

constexpr int MonthLengths[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};

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
    int days = Day;
    for (int m = 1; m < Month && m <= 12; ++m)
        days += DaysInMonth(Year, m);
    return days;
}

} // namespace elsetry
