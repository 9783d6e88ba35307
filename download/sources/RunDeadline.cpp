#include "download/sources/RunDeadline.h"

#include "text/Numbers.h"

#include <algorithm>

namespace elsetry {

namespace {

constexpr int MaxDeadlineMinutes = 7 * 24 * 60;
constexpr std::chrono::milliseconds Overshoot{50};

} // namespace

std::chrono::minutes RunDeadlineFrom(std::string_view Text)
{
    const std::optional<int> minutes = ReadInteger(Text);
    if (!minutes || *minutes < 1 || *minutes > MaxDeadlineMinutes)
        return DefaultRunDeadline;
    return std::chrono::minutes(*minutes);
}

TRunDeadline::TRunDeadline(std::optional<std::chrono::milliseconds> Length)
{
    if (Length)
        End = TClock::now() + *Length;
}

bool TRunDeadline::Passed() const
{
    return End && TClock::now() >= *End;
}

long TRunDeadline::RequestLimitMs(long LimitMs, std::chrono::milliseconds Floor) const
{
    long limit = LimitMs;
    if (End) {
        // A little over, so that a request cut off at its limit finds the deadline passed.
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(*End - TClock::now()) + Overshoot;
        limit = std::min(limit, static_cast<long>(std::max(left, Floor).count()));
    }
    return std::max(limit, 1L);
}

} // namespace elsetry
