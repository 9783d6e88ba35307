#pragma once
// Decimal numbers read from their text and rounded digit by digit, so that a column written from
// a number keeps the digits the text gives and never those of the nearest binary fraction.

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace elsetry {

// (Negative ? -1 : 1) * Digits * 10^Exponent. Digits has no leading or trailing zeros and is
// empty for zero, which is never negative.
struct TDecimal {
    bool Negative = false;
    std::string Digits;
    int Exponent = 0;
};

// The number a whole text writes: an optional sign, digits with at most one point (".5", "5.",
// "15.49"), an optional exponent ("-1.6E-7", "2.64e-6"). Nothing for any other text, and for an
// exponent of more than four digits.
std::optional<TDecimal> ReadDecimalText(std::string_view Text);

// The same number viewing the text it was read from, its digits as written around the point
// (leading and trailing zeros kept), for callers that round many numbers and copy none:
// (Negative ? -1 : 1) * Whole.Fraction * 10^Exponent. A zero may be negative; its rounding is not.
struct TDecimalView {
    bool Negative = false;
    std::string_view Whole;
    std::string_view Fraction;
    int Exponent = 0;
};
// As ReadDecimalText; the view lasts as long as Text.
std::optional<TDecimalView> ReadDecimalView(std::string_view Text);

// Up to Capacity digits, held without allocating: more than any field's columns take.
struct TDigits {
    static constexpr std::size_t Capacity = 24;
    std::array<char, Capacity> Held{};
    std::size_t Count = 0;
    std::string_view Text() const { return {Held.data(), Count}; }
};

// The number rounded to Places decimals (Places below TDigits::Capacity), half away from zero.
// Whole() gives the digits before the point without leading zeros (none below 1), Fraction()
// exactly Places digits. A number that rounds to zero is not negative.
struct TFixedDigits {
    bool Negative = false;
    TDigits Digits; // the rounded number times 10^Places, at least Places digits
    std::size_t Places = 0;
    std::string_view Whole() const { return Digits.Text().substr(0, Digits.Count - Places); }
    std::string_view Fraction() const { return Digits.Text().substr(Digits.Count - Places); }
};
// Nothing when the rounded number has more than TDigits::Capacity digits.
std::optional<TFixedDigits> RoundedToPlaces(const TDecimal& Number, int Places);
std::optional<TFixedDigits> RoundedToPlaces(const TDecimalView& Number, int Places);

// The number as 0.Mantissa * 10^Power, Mantissa of Significant digits (at most
// TDigits::Capacity) with a first digit that is not 0, rounded half away from zero. Mantissa is
// empty for zero.
struct TScientificDigits {
    bool Negative = false;
    TDigits Mantissa;
    int Power = 0;
};
TScientificDigits RoundedToSignificant(const TDecimal& Number, int Significant);
TScientificDigits RoundedToSignificant(const TDecimalView& Number, int Significant);

// The value of a whole number of at most nine digits; nothing for a fraction or a larger number.
std::optional<long> WholeValue(const TDecimal& Number);
std::optional<long> WholeValue(const TDecimalView& Number);

} // namespace elsetry
