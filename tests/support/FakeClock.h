#pragma once
// A run clock that stands still until told: a wait moves it on at once, and the time waited is
// added up, so tests can let minutes or hours pass without sleeping.

#include "platform/RunClock.h"

#include <chrono>
#include <vector>

namespace elsetry::test {

// 2026-12-08 10:12 UTC: the moment the ledger, membership and CelesTrak run tests start at.
inline const TRunClock::TTime FixedRunTime = std::chrono::sys_days(std::chrono::year(2026) / 12 / 8)
                                             + std::chrono::hours(10) + std::chrono::minutes(12);

class TFakeClock final : public TRunClock {
public:
    explicit TFakeClock(TTime Start = TTime(std::chrono::hours(24 * 20000))) : Current(Start) {}

    TTime Now() const override
    {
        Current += Step;
        return Current;
    }
    void Wait(std::chrono::milliseconds Time) override
    {
        Current += Time;
        Waited += Time;
        Waits.push_back(Time);
    }

    void Set(TTime Time) { Current = Time; }
    void Advance(std::chrono::milliseconds Time) { Current += Time; }

    // Each look at the clock finds this much time gone, as each request of a run takes some.
    std::chrono::milliseconds Step{0};
    // The sum and the list of the waits asked for so far.
    std::chrono::milliseconds Waited{0};
    std::vector<std::chrono::milliseconds> Waits;

private:
    mutable TTime Current;
};

} // namespace elsetry::test
