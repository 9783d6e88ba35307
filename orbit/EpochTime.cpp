#include "orbit/EpochTime.h"

#include <cmath>

namespace elsetry {

namespace {
bool IsLeapYear(int Year)
{
    return (Year % 4 == 0 && Year % 100 != 0) || Year % 400 == 0;
}
} // namespace

double JulianDateOfYear(int Year)
{
    const int y = Year - 1;
    const int a = y / 100;
    const int b = 2 - a + a / 4;
    return std::trunc(365.25 * y) + 428.0 + 1720994.5 + b;
}

int EpochYear(int TwoDigitYear)
{
    return TwoDigitYear < 57 ? 2000 + TwoDigitYear : 1900 + TwoDigitYear;
}

double EpochToJulian(double Epoch)
{
    const double t = Epoch * 0.001;
    const double wholeYears = std::trunc(t);
    const double day = (t - wholeYears) * 1000.0;
    // Fields that read as garbage can give any year; the Julian date then is merely meaningless.
    const double year = wholeYears < 57.0 ? 2000.0 + wholeYears : 1900.0 + wholeYears;
    if (!(std::fabs(year) < 1.0e9))
        return day;
    return JulianDateOfYear(static_cast<int>(year)) + day;
}

int DayOfYear(int Year, int Month, int Day)
{
    static constexpr int monthLengths[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    int days = Day;
    for (int m = 1; m < Month && m <= 12; ++m)
        days += monthLengths[m - 1];
    if (Month > 2 && IsLeapYear(Year))
        ++days;
    return days;
}

double FractionOfDay(int Hour, int Minute, int Second, int Hundredths)
{
    return (((Second + Hundredths / 100.0) / 60.0 + Minute) / 60.0 + Hour) / 24.0;
}

double DateTimeToJulian(const TDateTime& DateTime)
{
    return JulianDateOfYear(DateTime.Year) + DayOfYear(DateTime.Year, DateTime.Month, DateTime.Day) +
           FractionOfDay(DateTime.Hour, DateTime.Minute, DateTime.Second, DateTime.Millisecond / 10);
}

} // namespace elsetry
