#pragma once
// The total time an unattended run may take, so that a service that answers too slowly for every
// request's own limits still cannot keep a scheduled run going until the next one starts.

#include <chrono>
#include <optional>
#include <string_view>

namespace elsetry {

// The value in the program's key that sets it, in minutes.
inline constexpr const char* RunDeadlineSetting = "RunDeadlineMinutes";
inline constexpr std::chrono::minutes DefaultRunDeadline{30};

// The setting's text as a time: a whole number of minutes from 1 to 10080 (a week); the default
// for anything else, an empty text too.
std::chrono::minutes RunDeadlineFrom(std::string_view Text);

// The end of a run's time, counted from when the object is made; none means no end.
class TRunDeadline {
public:
    using TClock = std::chrono::steady_clock;

    TRunDeadline() = default;
    explicit TRunDeadline(std::optional<std::chrono::milliseconds> Length);

    bool Passed() const;
    // The time a request may take: LimitMs, or what is left before the deadline (with a few ms
    // over, but at least Floor) when that is less. Never below 1 ms, which libcurl would read as
    // no limit.
    long RequestLimitMs(long LimitMs, std::chrono::milliseconds Floor = std::chrono::milliseconds(0)) const;

private:
    std::optional<TClock::time_point> End;
};

} // namespace elsetry
