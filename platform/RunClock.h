#pragma once
// The time as a run sees it, and its waits: the usage limits and kept group memberships go by
// it, so that tests can let hours pass at once.

#include <chrono>
#include <string>

namespace elsetry {

class TRunClock {
public:
    using TTime = std::chrono::system_clock::time_point;

    virtual ~TRunClock() = default;
    virtual TTime Now() const = 0;
    virtual void Wait(std::chrono::milliseconds Time) = 0;
};

// The system's clock; waits sleep.
TRunClock& SystemRunClock();

// The time of day of a run clock's time for the log: "10:12 UTC".
std::string TimeOfDayText(TRunClock::TTime When);
// The date and time of day: "2026-12-08 10:12 UTC". Both say "an unknown time" for a time the
// calendar cannot show.
std::string DateTimeText(TRunClock::TTime When);

} // namespace elsetry
