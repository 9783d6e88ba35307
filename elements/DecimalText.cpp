#include "elements/DecimalText.h"

#include "text/Strings.h"

#include <algorithm>
#include <cstddef>

namespace elsetry {

namespace {

constexpr std::size_t LongestExponent = 4;
constexpr std::size_t LongestWholeValue = 9;

std::size_t FirstNonZero(std::string_view Digits)
{
    std::size_t n = 0;
    while (n < Digits.size() && Digits[n] == '0')
        ++n;
    return n;
}

// Leading digits of Text, taken off it.
std::string_view TakeDigits(std::string_view& Text)
{
    std::size_t n = 0;
    while (n < Text.size() && IsDigit(Text[n]))
        ++n;
    const std::string_view digits = Text.substr(0, n);
    Text.remove_prefix(n);
    return digits;
}

bool TakeSign(std::string_view& Text)
{
    if (Text.empty() || (Text.front() != '-' && Text.front() != '+'))
        return false;
    const bool negative = Text.front() == '-';
    Text.remove_prefix(1);
    return negative;
}

std::optional<int> TakeExponent(std::string_view& Text)
{
    if (Text.empty() || (Text.front() != 'e' && Text.front() != 'E'))
        return 0;
    Text.remove_prefix(1);
    const bool negative = TakeSign(Text);
    const std::string_view digits = TakeDigits(Text);
    if (digits.empty() || digits.size() > LongestExponent)
        return std::nullopt;
    int value = 0;
    for (const char digit : digits)
        value = value * 10 + (digit - '0');
    return negative ? -value : value;
}

// Adds one; false when the digits would grow past their capacity.
bool Increment(TDigits& Digits)
{
    for (std::size_t i = Digits.Count; i-- > 0;) {
        if (Digits.Held[i] != '9') {
            ++Digits.Held[i];
            return true;
        }
        Digits.Held[i] = '0';
    }
    if (Digits.Count == TDigits::Capacity)
        return false;
    std::copy_backward(Digits.Held.begin(), Digits.Held.begin() + static_cast<std::ptrdiff_t>(Digits.Count),
                       Digits.Held.begin() + static_cast<std::ptrdiff_t>(Digits.Count + 1));
    Digits.Held[0] = '1';
    ++Digits.Count;
    return true;
}

// The first Keep digits of Digits (Keep may be 0 or below), rounded half away from zero by the
// digit after them; the digits after that cannot change a rounding half away from zero. False
// when they do not fit.
bool RoundedPrefix(std::string_view Digits, long Keep, TDigits& Out)
{
    Out.Count = 0;
    if (Keep < 0)
        return true;
    const std::size_t keep = std::min(static_cast<std::size_t>(Keep), Digits.size());
    if (keep > TDigits::Capacity)
        return false;
    std::copy_n(Digits.begin(), keep, Out.Held.begin());
    Out.Count = keep;
    return keep == Digits.size() || Digits[keep] < '5' || Increment(Out);
}

// Zeros after the digits; false when they do not fit.
bool AppendZeros(TDigits& Digits, std::size_t Count)
{
    if (Digits.Count + Count > TDigits::Capacity)
        return false;
    std::fill_n(Digits.Held.begin() + static_cast<std::ptrdiff_t>(Digits.Count), Count, '0');
    Digits.Count += Count;
    return true;
}

// Zeros before the digits up to Count digits in all.
void PadWithZeros(TDigits& Digits, std::size_t Count)
{
    if (Digits.Count >= Count)
        return;
    const std::size_t pad = Count - Digits.Count;
    std::copy_backward(Digits.Held.begin(), Digits.Held.begin() + static_cast<std::ptrdiff_t>(Digits.Count),
                       Digits.Held.begin() + static_cast<std::ptrdiff_t>(Count));
    std::fill_n(Digits.Held.begin(), pad, '0');
    Digits.Count = Count;
}

} // namespace

std::optional<TDecimal> ReadDecimalText(std::string_view Text)
{
    const bool negative = TakeSign(Text);
    const std::string_view whole = TakeDigits(Text);
    std::string_view fraction;
    if (!Text.empty() && Text.front() == '.') {
        Text.remove_prefix(1);
        fraction = TakeDigits(Text);
    }
    if (whole.empty() && fraction.empty())
        return std::nullopt;
    const std::optional<int> exponent = TakeExponent(Text);
    if (!exponent || !Text.empty())
        return std::nullopt;
    // The digits before and after the point as one, leading zeros dropped and trailing zeros
    // moved into the exponent.
    TDecimal number{negative, {}, 0};
    std::string& digits = number.Digits;
    const std::size_t firstWhole = FirstNonZero(whole);
    if (firstWhole < whole.size()) {
        digits.reserve(whole.size() - firstWhole + fraction.size());
        digits.append(whole.substr(firstWhole));
        digits.append(fraction);
    } else {
        const std::size_t firstFraction = FirstNonZero(fraction);
        if (firstFraction == fraction.size())
            return TDecimal{};
        digits.append(fraction.substr(firstFraction));
    }
    std::size_t trailingZeros = 0;
    while (digits[digits.size() - 1 - trailingZeros] == '0')
        ++trailingZeros;
    digits.resize(digits.size() - trailingZeros);
    number.Exponent = *exponent - static_cast<int>(fraction.size()) + static_cast<int>(trailingZeros);
    return number;
}

std::optional<TFixedDigits> RoundedToPlaces(const TDecimal& Number, int Places)
{
    // The number times 10^Places, rounded to a whole number; it has no leading zeros.
    TFixedDigits fixed;
    fixed.Places = static_cast<std::size_t>(Places);
    const long shift = static_cast<long>(Number.Exponent) + Places;
    const long keep = static_cast<long>(Number.Digits.size()) + std::min(shift, 0L);
    if (!RoundedPrefix(Number.Digits, keep, fixed.Digits))
        return std::nullopt;
    if (shift > 0 && fixed.Digits.Count > 0 && !AppendZeros(fixed.Digits, static_cast<std::size_t>(shift)))
        return std::nullopt;
    fixed.Negative = Number.Negative && fixed.Digits.Count > 0;
    PadWithZeros(fixed.Digits, fixed.Places);
    return fixed;
}

TScientificDigits RoundedToSignificant(const TDecimal& Number, int Significant)
{
    TScientificDigits result;
    if (Number.Digits.empty())
        return result;
    const auto significant = static_cast<std::size_t>(Significant);
    result.Negative = Number.Negative;
    result.Power = Number.Exponent + static_cast<int>(Number.Digits.size());
    RoundedPrefix(Number.Digits, Significant, result.Mantissa);
    if (result.Mantissa.Count > significant) {
        // Rounding carried into a new digit: 0.99999x becomes 0.10000 of the next power.
        result.Mantissa.Count = significant;
        ++result.Power;
    }
    AppendZeros(result.Mantissa, significant - result.Mantissa.Count);
    return result;
}

std::optional<long> WholeValue(const TDecimal& Number)
{
    if (Number.Exponent < 0 || Number.Digits.size() + static_cast<std::size_t>(Number.Exponent) > LongestWholeValue)
        return std::nullopt;
    long value = 0;
    for (const char digit : Number.Digits)
        value = value * 10 + (digit - '0');
    for (int i = 0; i < Number.Exponent; ++i)
        value *= 10;
    return Number.Negative ? -value : value;
}

} // namespace elsetry
