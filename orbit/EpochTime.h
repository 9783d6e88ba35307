#pragma once
// Julian dates of element-set epochs and calendar times.

namespace elsetry {

// Calendar date and time, as the notes file gives it.
struct TDateTime {
    int Year = 0;
    int Month = 1;
    int Day = 1;
    int Hour = 0;
    int Minute = 0;
    int Second = 0;
    int Millisecond = 0;
};

// Two-digit epoch years from this one on are 19xx, those below it 20xx.
constexpr int FirstTwoDigitYear = 57;

// Julian date of 0.0 January of Year (31 December of the year before at 0 h).
double JulianDateOfYear(int Year);
// Epoch YYDDD.DDDDDDDD to a Julian date, its year read by EpochYear.
double EpochToJulian(double Epoch);
// Four-digit year of a two-digit epoch year.
int EpochYear(int TwoDigitYear);
double FractionOfDay(int Hour, int Minute, int Second, int Hundredths);
// Counts to the hundredth of a second.
double DateTimeToJulian(const TDateTime& DateTime);

// Julian date of 1 January 1970 at 0 h UTC, where time_t counts from.
constexpr double UnixEpochJulian = 2440587.5;
constexpr double SecondsPerDay = 86400.0;
// Julian date of a time_t (seconds since 1970 UTC).
constexpr double UnixTimeToJulian(double UnixSeconds)
{
    return UnixEpochJulian + UnixSeconds / SecondsPerDay;
}

} // namespace elsetry
