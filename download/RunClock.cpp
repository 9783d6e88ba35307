#include "download/RunClock.h"

#include <ctime>
#include <thread>

namespace elsetry {

namespace {

class TSystemRunClock final : public TRunClock {
public:
    TTime Now() const override { return std::chrono::system_clock::now(); }
    void Wait(std::chrono::milliseconds Time) override { std::this_thread::sleep_for(Time); }
};

} // namespace

TRunClock& SystemRunClock()
{
    static TSystemRunClock clock;
    return clock;
}

std::string TimeOfDayText(TRunClock::TTime When)
{
    const std::time_t seconds = std::chrono::system_clock::to_time_t(When);
    std::tm utc{};
    char text[16];
    if (!::gmtime_r(&seconds, &utc) || std::strftime(text, sizeof text, "%H:%M UTC", &utc) == 0)
        return "an unknown time";
    return text;
}

} // namespace elsetry
