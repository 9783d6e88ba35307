#include "orbit/EpochTime.h"

#include "text/Calendar.h"

#include <cmath>

namespace elsetry {

namespace {

// Whole years are doubles where they come from a field that may hold garbage.
int CenturyOf(double TwoDigitYear)
{
    return TwoDigitYear < FirstTwoDigitYear ? 2000 : 1900;
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
    return CenturyOf(TwoDigitYear) + TwoDigitYear;
}

double EpochToJulian(double Epoch)
{
    const double t = Epoch * 0.001;
    const double wholeYears = std::trunc(t);
    const double day = (t - wholeYears) * 1000.0;
    // Fields that read as garbage can give any year; the Julian date then is merely meaningless.
    const double year = CenturyOf(wholeYears) + wholeYears;
    if (!(std::fabs(year) < 1.0e9))
        return day;
    return JulianDateOfYear(static_cast<int>(year)) + day;
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
