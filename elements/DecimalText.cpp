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

// The digits of a number before and after its point as one run, indexed from its first digit.
class TViewDigits {
public:
    explicit TViewDigits(const TDecimalView& Number)
        : Whole(Number.Whole), Fraction(Number.Fraction),
          Point(static_cast<long>(Number.Whole.size()) + Number.Exponent)
    {
    }

    long Size() const { return static_cast<long>(Whole.size() + Fraction.size()); }
    // The digit at I, "0" outside the run.
    char At(long I) const
    {
        if (I < 0 || I >= Size())
            return '0';
        const auto i = static_cast<std::size_t>(I);
        return i < Whole.size() ? Whole[i] : Fraction[i - Whole.size()];
    }
    long FirstNonZero() const
    {
        const std::size_t whole = Whole.find_first_not_of('0');
        if (whole != std::string_view::npos)
            return static_cast<long>(whole);
        const std::size_t fraction = Fraction.find_first_not_of('0');
        return fraction == std::string_view::npos ? Size() : static_cast<long>(Whole.size() + fraction);
    }
    // Whether every digit from I on is a zero.
    bool ZerosFrom(long I) const { return FirstNonZeroFrom(I) == Size(); }
    // The digits from First (at least 0) up to End into Out, zeros past the run.
    void Copy(long First, long End, char* Out) const
    {
        long i = First;
        const auto wholeSize = static_cast<long>(Whole.size());
        if (i < std::min(End, wholeSize)) {
            Out = std::copy(Whole.begin() + i, Whole.begin() + std::min(End, wholeSize), Out);
            i = std::min(End, wholeSize);
        }
        const long fractionEnd = std::min(End, Size());
        if (i < fractionEnd) {
            Out = std::copy(Fraction.begin() + (i - wholeSize), Fraction.begin() + (fractionEnd - wholeSize), Out);
            i = fractionEnd;
        }
        std::fill_n(Out, std::max(End - i, 0L), '0');
    }
    // Digits before the number's point, counted from the first digit of the run.
    long PointAt() const { return Point; }

private:
    long FirstNonZeroFrom(long I) const
    {
        for (; I < Size(); ++I)
            if (At(I) != '0')
                return I;
        return Size();
    }

    std::string_view Whole;
    std::string_view Fraction;
    long Point;
};

// The digits from First up to End (End past First), rounded half away from zero by the digit
// at End; the digits after that cannot change a rounding half away from zero. False when they
// do not fit.
bool RoundedRun(const TViewDigits& Digits, long First, long End, TDigits& Out)
{
    Out.Count = 0;
    if (End - First > static_cast<long>(TDigits::Capacity))
        return false;
    Digits.Copy(First, End, Out.Held.data());
    Out.Count = static_cast<std::size_t>(End - First);
    return Digits.At(End) < '5' || Increment(Out);
}

TDecimalView ViewOf(const TDecimal& Number)
{
    return {Number.Negative, Number.Digits, {}, Number.Exponent};
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

std::optional<TDecimalView> ReadDecimalView(std::string_view Text)
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
    return TDecimalView{negative, whole, fraction, *exponent};
}

std::optional<TDecimal> ReadDecimalText(std::string_view Text)
{
    const std::optional<TDecimalView> view = ReadDecimalView(Text);
    if (!view)
        return std::nullopt;
    const std::string_view whole = view->Whole;
    const std::string_view fraction = view->Fraction;
    // The digits before and after the point as one, leading zeros dropped and trailing zeros
    // moved into the exponent.
    TDecimal number{view->Negative, {}, 0};
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
    number.Exponent = view->Exponent - static_cast<int>(fraction.size()) + static_cast<int>(trailingZeros);
    return number;
}

std::optional<TFixedDigits> RoundedToPlaces(const TDecimalView& Number, int Places)
{
    // The number times 10^Places, rounded to a whole number, without leading zeros.
    TFixedDigits fixed;
    fixed.Places = static_cast<std::size_t>(Places);
    const TViewDigits digits(Number);
    const long first = digits.FirstNonZero();
    const long end = digits.PointAt() + Places;
    // A number whose first digit stands past End rounds to zero: the digit at End is a zero.
    if (first < digits.Size() && end >= first && !RoundedRun(digits, first, end, fixed.Digits))
        return std::nullopt;
    fixed.Negative = Number.Negative && fixed.Digits.Count > 0;
    PadWithZeros(fixed.Digits, fixed.Places);
    return fixed;
}

TScientificDigits RoundedToSignificant(const TDecimalView& Number, int Significant)
{
    TScientificDigits result;
    const TViewDigits digits(Number);
    const long first = digits.FirstNonZero();
    if (first == digits.Size())
        return result;
    const auto significant = static_cast<std::size_t>(Significant);
    result.Negative = Number.Negative;
    result.Power = static_cast<int>(digits.PointAt() - first);
    RoundedRun(digits, first, first + Significant, result.Mantissa);
    if (result.Mantissa.Count > significant) {
        // Rounding carried into a new digit: 0.99999x becomes 0.10000 of the next power.
        result.Mantissa.Count = significant;
        ++result.Power;
    }
    return result;
}

std::optional<long> WholeValue(const TDecimalView& Number)
{
    const TViewDigits digits(Number);
    const long first = digits.FirstNonZero();
    if (!digits.ZerosFrom(std::max(first, digits.PointAt())))
        return std::nullopt;
    if (first == digits.Size())
        return 0;
    if (digits.PointAt() - first > static_cast<long>(LongestWholeValue))
        return std::nullopt;
    char held[LongestWholeValue];
    digits.Copy(first, digits.PointAt(), held);
    long value = 0;
    for (long i = 0; i < digits.PointAt() - first; ++i)
        value = value * 10 + (held[i] - '0');
    return Number.Negative ? -value : value;
}

std::optional<TFixedDigits> RoundedToPlaces(const TDecimal& Number, int Places)
{
    return RoundedToPlaces(ViewOf(Number), Places);
}

TScientificDigits RoundedToSignificant(const TDecimal& Number, int Significant)
{
    return RoundedToSignificant(ViewOf(Number), Significant);
}

std::optional<long> WholeValue(const TDecimal& Number)
{
    return WholeValue(ViewOf(Number));
}

} // namespace elsetry
