#include "text/Numbers.h"

#include "text/Strings.h"

#include <charconv>
#include <cstdint>

namespace elsetry {

namespace {

// from_chars takes neither a leading "+" nor, in our sense, "inf" and "nan": screen those first.
std::string_view WithoutPlus(std::string_view Text)
{
    if (!Text.empty() && Text.front() == '+' && Text.size() > 1 && Text[1] != '-' && Text[1] != '+')
        return Text.substr(1);
    return Text;
}

} // namespace

// The digits as a whole number divided by a power of ten: both are exact as doubles and IEEE
// division rounds correctly, so the result is the correctly rounded value that from_chars gives
// too, only sooner.
std::optional<double> ReadPlainDecimal(std::string_view Text, bool BlanksAsZeros)
{
    constexpr double powersOfTen[] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9, 1e10, 1e11, 1e12, 1e13,
                                      1e14, 1e15};
    constexpr std::size_t maxDigits = 15; // below 2^53, so exact
    const bool negative = !Text.empty() && Text.front() == '-';
    std::uint64_t digits = 0;
    std::size_t count = 0;
    std::size_t point = std::string_view::npos;
    for (std::size_t i = negative ? 1 : 0; i < Text.size(); ++i) {
        const char c = BlanksAsZeros && Text[i] == ' ' ? '0' : Text[i];
        const unsigned digit = static_cast<unsigned char>(c) - unsigned{'0'};
        if (digit < 10 && count < maxDigits) {
            digits = digits * 10 + digit;
            ++count;
        } else if (c == '.' && point == std::string_view::npos) {
            point = count;
        } else {
            return std::nullopt;
        }
    }
    if (count == 0 || point == count)
        return std::nullopt; // no digit, or none after the point: from_chars decides
    const std::size_t decimals = point == std::string_view::npos ? 0 : count - point;
    const double value = static_cast<double>(digits) / powersOfTen[decimals];
    return negative ? -value : value;
}

std::optional<double> ReadDecimal(std::string_view Text)
{
    if (const std::optional<double> plain = ReadPlainDecimal(Text, false))
        return plain;
    const std::string_view body = WithoutPlus(Text);
    const std::size_t first = (!body.empty() && body.front() == '-') ? 1 : 0;
    if (first >= body.size() || !(IsDigit(body[first]) || body[first] == '.'))
        return std::nullopt;
    double value = 0.0;
    const auto [end, error] = std::from_chars(body.data(), body.data() + body.size(), value);
    if (error != std::errc() || end != body.data() + body.size())
        return std::nullopt;
    return value;
}

std::optional<int> ReadInteger(std::string_view Text)
{
    const std::string_view body = WithoutPlus(Text);
    int value = 0;
    const auto [end, error] = std::from_chars(body.data(), body.data() + body.size(), value);
    if (body.empty() || error != std::errc() || end != body.data() + body.size())
        return std::nullopt;
    return value;
}

} // namespace elsetry
