#include "platform/RunClock.h"

#include <ctime>
#include <optional>
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

namespace {

constexpr const char* UnknownTime = "an unknown time";

std::optional<std::tm> UtcFields(TRunClock::TTime When)
{
    const std::time_t seconds = std::chrono::system_clock::to_time_t(When);
    std::tm utc{};
    if (!::gmtime_r(&seconds, &utc))
        return std::nullopt;
    return utc;
}

} // namespace

std::string TimeOfDayText(TRunClock::TTime When)
{
    const std::optional<std::tm> utc = UtcFields(When);
    char text[16];
    if (!utc || std::strftime(text, sizeof text, "%H:%M UTC", &*utc) == 0)
        return UnknownTime;
    return text;
}

std::string DateTimeText(TRunClock::TTime When)
{
    const std::optional<std::tm> utc = UtcFields(When);
    char text[32];
    if (!utc || std::strftime(text, sizeof text, "%Y-%m-%d %H:%M UTC", &*utc) == 0)
        return UnknownTime;
    return text;
}

} // namespace elsetry
