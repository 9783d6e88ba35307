#pragma once
// The Gregorian calendar's leap years and month lengths.

namespace elsetry {

bool IsLeapYear(int Year);
// Days of Month (1 to 12) in Year.
int DaysInMonth(int Year, int Month);
// 1 for 1 January. Day is not checked against its month; a Month past 12 adds the whole year.
int DayOfYear(int Year, int Month, int Day);

} // namespace elsetry
