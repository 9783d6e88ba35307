#include "elements/DecimalText.h"

#include <cstddef>

namespace elsetry {

namespace {

constexpr std::size_t LongestExponent = 4;
constexpr std::size_t LongestWholeValue = 9;

bool IsDigit(char C)
{
    return C >= '0' && C <= '9';
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

// Drops leading zeros and moves trailing zeros into the exponent.
TDecimal Normalised(bool Negative, std::string Digits, int Exponent)
{
    const std::size_t first = Digits.find_first_not_of('0');
    if (first == std::string::npos)
        return {};
    const std::size_t last = Digits.find_last_not_of('0');
    Exponent += static_cast<int>(Digits.size() - 1 - last);
    return {Negative, Digits.substr(first, last + 1 - first), Exponent};
}

// Adds one to a string of digits, which may grow by a digit.
void Increment(std::string& Digits)
{
    for (std::size_t i = Digits.size(); i-- > 0;) {
        if (Digits[i] != '9') {
            ++Digits[i];
            return;
        }
        Digits[i] = '0';
    }
    Digits.insert(Digits.begin(), '1');
}

// The first Keep digits of Digits (Keep may be 0 or below), rounded half away from zero by the
// digit after them.
std::string RoundedPrefix(const std::string& Digits, long Keep)
{
    if (Keep < 0)
        return {};
    const auto keep = static_cast<std::size_t>(Keep);
    if (keep >= Digits.size())
        return Digits;
    std::string prefix = Digits.substr(0, keep);
    if (Digits[keep] >= '5')
        Increment(prefix);
    return prefix;
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
    std::string digits(whole);
    digits += fraction;
    return Normalised(negative, std::move(digits), *exponent - static_cast<int>(fraction.size()));
}

TFixedDigits RoundedToPlaces(const TDecimal& Number, int Places)
{
    // The number times 10^Places, rounded to a whole number of digits; it has no leading zeros.
    const long shift = static_cast<long>(Number.Exponent) + Places;
    std::string scaled = Number.Digits;
    if (shift >= 0 && !scaled.empty())
        scaled.append(static_cast<std::size_t>(shift), '0');
    else if (shift < 0)
        scaled = RoundedPrefix(Number.Digits, static_cast<long>(Number.Digits.size()) + shift);
    const auto places = static_cast<std::size_t>(Places);
    if (scaled.size() < places)
        scaled.insert(0, places - scaled.size(), '0');
    TFixedDigits fixed;
    fixed.Whole = scaled.substr(0, scaled.size() - places);
    fixed.Fraction = scaled.substr(scaled.size() - places);
    fixed.Negative = Number.Negative && scaled.find_first_not_of('0') != std::string::npos;
    return fixed;
}

TScientificDigits RoundedToSignificant(const TDecimal& Number, int Significant)
{
    if (Number.Digits.empty())
        return {};
    TScientificDigits result{Number.Negative, RoundedPrefix(Number.Digits, Significant),
                             Number.Exponent + static_cast<int>(Number.Digits.size())};
    const auto significant = static_cast<std::size_t>(Significant);
    if (result.Mantissa.size() > significant) {
        // Rounding carried into a new digit: 0.99999x becomes 0.10000 of the next power.
        result.Mantissa.resize(significant);
        ++result.Power;
    }
    result.Mantissa.resize(significant, '0');
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
