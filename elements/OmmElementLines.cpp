// ElementLinesOf: the name line and the two element lines of an element set given in the Orbit
// Mean-Elements Message form. Every field is written from the digits of its text, so rounding
// works on what the service wrote and not on a binary fraction near it.

#include "elements/DecimalText.h"
#include "elements/ElementFields.h"
#include "elements/OmmRecord.h"
#include "text/Calendar.h"
#include "text/CatalogueNumber.h"
#include "text/Strings.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <stdexcept>

namespace elsetry {

namespace {

constexpr std::size_t ShownTextLength = 40;
constexpr int FirstEpochYear = 1957;       // two-digit years 57 to 99 stand for 1957 to 1999
constexpr long RevolutionNumbers = 100000; // the five columns count revolutions modulo this
constexpr long LargestElementSetNumber = 9999;
constexpr long LargestListedNumber = 999999999;
constexpr long FirstLetterFormNumber = 100000;

// The columns of an element line before its checksum.
constexpr std::size_t ChecksummedColumns = WrittenElementLineLength - 1;

// The small writers and tests below are inline: every field of every set calls them, mostly with
// constant counts that inlining folds away.

// "00" to "99": numbers are written two digits to a division.
constexpr std::array<char, 200> DigitPairs = [] {
    std::array<char, 200> pairs{};
    for (std::size_t i = 0; i < 100; ++i) {
        pairs[2 * i] = static_cast<char>('0' + i / 10);
        pairs[2 * i + 1] = static_cast<char>('0' + i % 10);
    }
    return pairs;
}();

// Value in the Width characters before End, with leading zeros.
inline void WriteDigits(char* End, unsigned long Value, std::size_t Width)
{
    for (; Width >= 2; Width -= 2, Value /= 100) {
        End -= 2;
        std::memcpy(End, &DigitPairs[Value % 100 * 2], 2);
    }
    if (Width == 1)
        End[-1] = static_cast<char>('0' + Value % 10);
}

// Count characters copied a few at a time, in moves that may overlap: fields are a few
// characters each, too few for a call to copy them and enough that a loop costs.
inline void CopyShort(char* To, const char* From, std::size_t Count)
{
    if (Count > 16) {
        std::memcpy(To, From, Count);
    } else if (Count >= 8) {
        std::memcpy(To, From, 8);
        std::memcpy(To + Count - 8, From + Count - 8, 8);
    } else if (Count >= 4) {
        std::memcpy(To, From, 4);
        std::memcpy(To + Count - 4, From + Count - 4, 4);
    } else if (Count > 0) {
        To[0] = From[0];
        To[Count / 2] = From[Count / 2];
        To[Count - 1] = From[Count - 1];
    }
}

inline void FillBlanks(char* To, std::size_t Count)
{
    constexpr std::string_view Blanks = "                ";
    if (Count > Blanks.size())
        std::memset(To, ' ', Count);
    else
        CopyShort(To, Blanks.data(), Count);
}

// Text in the Width columns at Columns, which it fits, blanks before it.
inline void WriteRightAligned(char* Columns, std::size_t Width, std::string_view Text)
{
    FillBlanks(Columns, Width - Text.size());
    CopyShort(Columns + Width - Text.size(), Text.data(), Text.size());
}

// Value in the Width columns at Columns, which it fits, blanks before it.
inline void WriteRightAligned(char* Columns, std::size_t Width, unsigned long Value)
{
    char* at = Columns + Width;
    do {
        *--at = static_cast<char>('0' + Value % 10);
        Value /= 10;
    } while (Value > 0 && at != Columns);
    if (Value > 0)
        throw std::logic_error("a number runs past its columns");
    FillBlanks(Columns, static_cast<std::size_t>(at - Columns));
}

// Whether four characters read as one word are digits: each byte is 0x30 to 0x3F, and still
// is with 6 added, which no byte of that range carries out of.
inline bool FourDigits(std::uint32_t Word)
{
    constexpr std::uint32_t HighHalves = 0xF0F0F0F0;
    constexpr std::uint32_t DigitHalves = 0x30303030;
    return (Word & HighHalves) == DigitHalves && ((Word + 0x06060606) & HighHalves) == DigitHalves;
}

// Whether the Count characters at Chars are all digits, tested a word at a time: fields are
// checked by the hundred thousand.
inline bool AllDigitsAt(const char* Chars, std::size_t Count)
{
    if (Count < 4)
        return Count == 0 || (IsDigit(Chars[0]) && IsDigit(Chars[Count / 2]) && IsDigit(Chars[Count - 1]));
    for (std::size_t i = 0;; i += 4) {
        const std::size_t at = std::min(i, Count - 4);
        std::uint32_t word = 0;
        std::memcpy(&word, Chars + at, 4);
        if (!FourDigits(word))
            return false;
        if (at == Count - 4)
            return true;
    }
}

// One element line written where it stands in the text, each field into the columns it takes.
// A field writes through the pointer it is given rather than through a member, which would be
// read again after every character stored: a character may alias any object.
class TLine {
public:
    explicit TLine(char* Columns) : Begin(Columns), Next(Columns) {}

    // Every field is checked to fit its columns before it is written, so a line never runs over.
    char* Take(std::size_t Count)
    {
        char* const at = Next;
        if (static_cast<std::size_t>(Begin + ChecksummedColumns - at) < Count)
            throw std::length_error("an element line runs past its columns");
        Next = at + Count;
        return at;
    }
    void Add(char C) { *Take(1) = C; }
    void Add(std::string_view Text) { CopyShort(Take(Text.size()), Text.data(), Text.size()); }
    // The checksum, once every other column is written.
    void AddChecksum()
    {
        if (Next != Begin + ChecksummedColumns)
            throw std::logic_error("an element line is not as long as its columns");
        *Next = static_cast<char>('0' + ElementLineChecksum({Begin, ChecksummedColumns}));
    }

private:
    char* Begin;
    char* Next;
};

// Adds one to the digits, a carry past the first reported.
bool Increment(char* Digits, std::size_t Count)
{
    for (std::size_t i = Count; i-- > 0;) {
        if (Digits[i] != '9') {
            ++Digits[i];
            return false;
        }
        Digits[i] = '0';
    }
    return true;
}

const char* SkipZeros(const char* At, const char* End)
{
    while (At != End && *At == '0')
        ++At;
    return At;
}

const char* SkipDigits(const char* At, const char* End)
{
    while (At != End && IsDigit(*At))
        ++At;
    return At;
}

// A number's text read in one pass, for the many fields a file holds that a decimal read first
// would slow: 0.D1D2D3... * 10^Power, of whose digits, from the first that is not 0, the first
// Kept are held. Rounding needs no more: fields round within their first dozen digits.
struct TQuickDigits {
    static constexpr std::size_t Kept = 20;
    bool Negative = false;
    std::array<char, Kept> Held;
    std::size_t Count = 0; // digits held, none for zero
    long Power = 0;
    // The first Digits digits (at most Kept) into Out, "0" past those held.
    void CopyFirst(std::size_t Digits, char* Out) const
    {
        const std::size_t held = std::min(Count, Digits);
        CopyShort(Out, Held.data(), held);
        std::fill(Out + held, Out + Digits, '0');
    }
    char At(std::size_t I) const { return I < Count ? Held[I] : '0'; }
};

// An exponent of one to four digits after "e" or "E" and a sign, where the text has one; false
// for any other.
bool TakeQuickExponent(const char*& At, const char* End, long& Exponent)
{
    Exponent = 0;
    if (At == End || (*At != 'e' && *At != 'E'))
        return true;
    ++At;
    const bool negative = At != End && *At == '-';
    if (At != End && (*At == '-' || *At == '+'))
        ++At;
    const char* const digits = At;
    At = SkipDigits(At, End);
    if (At == digits || At - digits > 4)
        return false;
    for (const char* c = digits; c != At; ++c)
        Exponent = Exponent * 10 + (*c - '0');
    Exponent = negative ? -Exponent : Exponent;
    return true;
}

// The texts ReadDecimalView reads, read as it reads them: a sign, digits with at most one point,
// an exponent of at most four digits. False for any other text.
bool ReadQuickDigits(std::string_view Text, TQuickDigits& Out)
{
    const char* at = Text.data();
    const char* const end = at + Text.size();
    Out.Negative = at != end && *at == '-';
    if (at != end && (*at == '-' || *at == '+'))
        ++at;
    const char* const digitsStart = at;
    const char* const whole = SkipZeros(at, end);
    at = SkipDigits(whole, end);
    const std::string_view wholeDigits(whole, static_cast<std::size_t>(at - whole));
    bool anyDigit = at != digitsStart;
    std::string_view fractionDigits;
    long fractionZeros = 0;
    if (at != end && *at == '.') {
        const char* const fractionStart = ++at;
        // Zeros after the point lead a number below 1.
        const char* const fraction = wholeDigits.empty() ? SkipZeros(at, end) : at;
        fractionZeros = fraction - fractionStart;
        at = SkipDigits(fraction, end);
        fractionDigits = {fraction, static_cast<std::size_t>(at - fraction)};
        anyDigit = anyDigit || at != fractionStart;
    }
    long exponent = 0;
    if (!anyDigit || !TakeQuickExponent(at, end, exponent) || at != end)
        return false;
    const std::size_t fromWhole = std::min(wholeDigits.size(), TQuickDigits::Kept);
    const std::size_t fromFraction = std::min(fractionDigits.size(), TQuickDigits::Kept - fromWhole);
    CopyShort(Out.Held.data(), wholeDigits.data(), fromWhole);
    CopyShort(Out.Held.data() + fromWhole, fractionDigits.data(), fromFraction);
    Out.Count = fromWhole + fromFraction;
    Out.Power = static_cast<long>(wholeDigits.size()) - fractionZeros + exponent;
    return true;
}

// What RoundedToPlaces gives of what ReadDecimalView reads of Text, for a number that rounds
// within the digits held; nothing for any other, which takes the general reading.
std::optional<TFixedDigits> QuickRoundedToPlaces(std::string_view Text, int Places)
{
    TQuickDigits number;
    if (!ReadQuickDigits(Text, number))
        return std::nullopt;
    TFixedDigits fixed;
    fixed.Places = static_cast<std::size_t>(Places);
    TDigits& digits = fixed.Digits;
    // The digits before the one rounded by; none for a number that rounds by its first digit or
    // by one before it.
    const long before = number.Power + Places;
    if (number.Count > 0 && before >= 0) {
        const auto kept = static_cast<std::size_t>(before);
        if (kept >= TQuickDigits::Kept)
            return std::nullopt;
        number.CopyFirst(kept, digits.Held.data());
        digits.Count = kept;
        if (number.At(kept) >= '5' && Increment(digits.Held.data(), kept)) {
            std::copy_backward(digits.Held.begin(), digits.Held.begin() + before, digits.Held.begin() + before + 1);
            digits.Held[0] = '1';
            ++digits.Count;
        }
    }
    fixed.Negative = number.Negative && digits.Count > 0;
    if (digits.Count < fixed.Places) {
        const std::size_t pad = fixed.Places - digits.Count;
        std::copy_backward(digits.Held.begin(), digits.Held.begin() + static_cast<std::ptrdiff_t>(digits.Count),
                           digits.Held.begin() + Places);
        std::fill_n(digits.Held.begin(), pad, '0');
        digits.Count = fixed.Places;
    }
    return fixed;
}

// As QuickRoundedToPlaces, what RoundedToSignificant gives, for fewer Significant digits than
// are held.
std::optional<TScientificDigits> QuickRoundedToSignificant(std::string_view Text, std::size_t Significant)
{
    TQuickDigits number;
    if (!ReadQuickDigits(Text, number))
        return std::nullopt;
    TScientificDigits rounded;
    if (number.Count == 0)
        return rounded;
    rounded.Negative = number.Negative;
    rounded.Power = static_cast<int>(number.Power);
    TDigits& mantissa = rounded.Mantissa;
    number.CopyFirst(Significant, mantissa.Held.data());
    mantissa.Count = Significant;
    // Rounding that carries into a new digit makes 0.99999x 0.10000 of the next power.
    if (number.At(Significant) >= '5' && Increment(mantissa.Held.data(), Significant)) {
        mantissa.Held[0] = '1';
        ++rounded.Power;
    }
    return rounded;
}

// The value of a text of at most nine digits and nothing else.
inline std::optional<long> PlainWholeNumber(std::string_view Text)
{
    if (Text.empty() || Text.size() > 9 || !AllDigitsAt(Text.data(), Text.size()))
        return std::nullopt;
    long value = 0;
    for (const char c : Text)
        value = value * 10 + (c - '0');
    return value;
}

[[noreturn]] void Raise(std::string_view Field, std::string_view Text, std::string_view Fault)
{
    throw EOmmFormat(std::string(Field) + " \"" + EscapeControls(Text.substr(0, ShownTextLength)) + "\" "
                     + std::string(Fault));
}

std::string_view RequiredText(std::string_view Field, std::string_view Text)
{
    const std::string_view trimmed = Trim(Text);
    if (trimmed.empty())
        throw EOmmFormat(std::string(Field) + " is empty");
    return trimmed;
}

TDecimalView NumberOf(std::string_view Field, std::string_view Text)
{
    const std::optional<TDecimalView> number = ReadDecimalView(Text);
    if (!number)
        Raise(Field, Text, "is not a number");
    return *number;
}

TDecimalView RequiredNumber(std::string_view Field, std::string_view Text)
{
    return NumberOf(Field, RequiredText(Field, Text));
}

// A field left out is zero.
TDecimalView OptionalNumber(std::string_view Field, std::string_view Text)
{
    const std::string_view trimmed = Trim(Text);
    return trimmed.empty() ? TDecimalView{} : NumberOf(Field, trimmed);
}

long WholeNumber(std::string_view Field, std::string_view Text, const TDecimalView& Number, long Largest)
{
    const std::optional<long> value = WholeValue(Number);
    if (!value || *value < 0 || *value > Largest)
        Raise(Field, Text, "does not fit its columns");
    return *value;
}

TFixedDigits Rounded(std::string_view Field, std::string_view Text, const TDecimalView& Number, int Places)
{
    const std::optional<TFixedDigits> fixed = RoundedToPlaces(Number, Places);
    if (!fixed)
        Raise(Field, Text, "does not fit its columns");
    return *fixed;
}

// The number rounded to Places decimals: read in one pass when it can be, by the general reading
// (Read, which may take an empty field for zero) otherwise.
TFixedDigits RoundedField(std::string_view Field, std::string_view Text, std::string_view Trimmed, int Places,
                          TDecimalView (*Read)(std::string_view, std::string_view))
{
    if (const std::optional<TFixedDigits> quick = QuickRoundedToPlaces(Trimmed, Places))
        return *quick;
    return Rounded(Field, Text, Read(Field, Text), Places);
}

// Whether a text is already what "%W.Pf" writes of it, blanks aside: digits without a leading
// zero (or one "0"), a point and Places decimals, as the services mostly write a field.
bool IsExactFixed(std::string_view Text, std::size_t WholeDigits, std::size_t Places)
{
    if (Text.size() <= Places + 1 || Text.size() > WholeDigits + 1 + Places)
        return false;
    const std::size_t point = Text.size() - Places - 1;
    return Text[point] == '.' && (Text[0] != '0' || point == 1) && AllDigitsAt(Text.data(), point)
           && AllDigitsAt(Text.data() + point + 1, Places);
}

// A blank and "%W.Pf" with W = WholeDigits + 1 + Places, for a number that is not negative.
template <std::size_t WholeDigits, int Places>
void AppendFixed(TLine& Line, std::string_view Field, std::string_view Text)
{
    constexpr std::size_t Width = 1 + WholeDigits + 1 + Places;
    const std::string_view trimmed = Trim(Text);
    if (IsExactFixed(trimmed, WholeDigits, Places)) {
        WriteRightAligned(Line.Take(Width), Width, trimmed);
        return;
    }
    const TFixedDigits fixed = RoundedField(Field, Text, trimmed, Places, RequiredNumber);
    if (fixed.Negative)
        Raise(Field, Text, "is negative");
    if (fixed.Whole().size() > WholeDigits)
        Raise(Field, Text, "does not fit its columns");
    char* const columns = Line.Take(Width);
    WriteRightAligned(columns, 1 + WholeDigits, fixed.Whole().empty() ? "0" : fixed.Whole());
    columns[1 + WholeDigits] = '.';
    CopyShort(columns + WholeDigits + 2, fixed.Fraction().data(), Places);
}

// " .1845686": a blank and seven digits behind an implied "0.".
void AppendEccentricity(TLine& Line, std::string_view Text)
{
    constexpr std::size_t Places = 7;
    const std::string_view trimmed = Trim(Text);
    // "0.0001779", or ".0001779" as CelesTrak's CSV writes it, is written as it stands.
    const std::string_view point = trimmed.starts_with("0.") ? trimmed.substr(1) : trimmed;
    if (point.size() == Places + 1 && point[0] == '.' && AllDigitsAt(point.data() + 1, Places)) {
        Line.Add(' ');
        Line.Add(point.substr(1));
        return;
    }
    const TFixedDigits fixed = RoundedField("ECCENTRICITY", Text, trimmed, Places, RequiredNumber);
    if (fixed.Negative || !fixed.Whole().empty())
        Raise("ECCENTRICITY", Text, "does not fit its columns");
    Line.Add(' ');
    Line.Add(fixed.Fraction());
}

// " .00016717" or "-.00002182": a sign and eight decimals, the leading zero dropped.
void AppendFirstDerivative(TLine& Line, std::string_view Text)
{
    const TFixedDigits fixed = RoundedField("MEAN_MOTION_DOT", Text, Trim(Text), 8, OptionalNumber);
    if (!fixed.Whole().empty())
        Raise("MEAN_MOTION_DOT", Text, "does not fit its columns");
    Line.Add(fixed.Negative ? " -." : "  .");
    Line.Add(fixed.Fraction());
}

// " 10270-3" for 0.10270e-3: a sign, five digits behind an implied "0.", the power of ten. Zero is
// " 00000-0" or " 00000+0", as the service whose lines the file stands for writes it.
void AppendExponent(TLine& Line, std::string_view Field, std::string_view Text, TZeroExponent Zero)
{
    constexpr std::size_t Significant = 5;
    const std::optional<TScientificDigits> quick = QuickRoundedToSignificant(Trim(Text), Significant);
    const TScientificDigits digits = quick ? *quick : RoundedToSignificant(OptionalNumber(Field, Text), Significant);
    if (digits.Mantissa.Count == 0) {
        Line.Add(Zero == TZeroExponent::Plus ? "  00000+0" : "  00000-0");
        return;
    }
    if (digits.Power < -9 || digits.Power > 9)
        Raise(Field, Text, "does not fit its columns");
    char* const columns = Line.Take(3 + Significant + 1);
    columns[0] = ' ';
    columns[1] = digits.Negative ? '-' : ' ';
    CopyShort(columns + 2, digits.Mantissa.Held.data(), Significant);
    columns[2 + Significant] = digits.Power < 0 ? '-' : '+';
    columns[3 + Significant] = static_cast<char>('0' + (digits.Power < 0 ? -digits.Power : digits.Power));
}

void AppendClassification(TLine& Line, std::string_view Text)
{
    const std::string_view trimmed = Trim(Text);
    if (trimmed.empty()) {
        Line.Add('U');
        return;
    }
    const char letter = trimmed.front();
    if (trimmed.size() != 1 || !((letter >= 'A' && letter <= 'Z') || (letter >= 'a' && letter <= 'z')))
        Raise("CLASSIFICATION_TYPE", Text, "is not a letter");
    Line.Add(letter >= 'a' ? static_cast<char>(letter - 'a' + 'A') : letter);
}

// A blank and the number in Width columns.
void AppendSmallNumber(TLine& Line, std::string_view Field, std::string_view Text, long Largest, std::size_t Width)
{
    const std::string_view trimmed = Trim(Text);
    const std::optional<long> plain = PlainWholeNumber(trimmed);
    const long value = plain && *plain <= Largest ? *plain
                       : trimmed.empty()          ? 0
                                                  : WholeNumber(Field, Text, NumberOf(Field, trimmed), Largest);
    WriteRightAligned(Line.Take(1 + Width), 1 + Width, static_cast<unsigned long>(value));
}

void AppendRevolution(TLine& Line, std::string_view Text)
{
    const std::string_view trimmed = Trim(Text);
    const std::optional<long> plain = PlainWholeNumber(trimmed);
    const long value = plain ? *plain
                       : trimmed.empty()
                           ? 0
                           : WholeNumber("REV_AT_EPOCH", Text, NumberOf("REV_AT_EPOCH", trimmed), LargestListedNumber);
    WriteRightAligned(Line.Take(5), 5, static_cast<unsigned long>(value % RevolutionNumbers));
}

bool IsUpperLetter(char C)
{
    return C >= 'A' && C <= 'Z';
}

// "1998-067A" is written " 98067A  ": a blank, the year's last two digits, the launch and the
// piece, in eight columns. An object without a designator leaves them blank.
void AppendDesignator(TLine& Line, std::string_view Text)
{
    constexpr std::size_t Width = 9;
    const std::string_view id = Trim(Text);
    if (id.empty()) {
        FillBlanks(Line.Take(Width), Width);
        return;
    }
    const std::string_view piece = id.size() > 8 ? id.substr(8) : std::string_view();
    const bool valid = id.size() >= 8 && id.size() <= 11 && AllDigitsAt(id.data(), 4) && id[4] == '-'
                       && AllDigitsAt(id.data() + 5, 3) && std::all_of(piece.begin(), piece.end(), IsUpperLetter);
    if (!valid)
        Raise("OBJECT_ID", Text, "is not an international designator");
    char* const columns = Line.Take(Width);
    FillBlanks(columns, Width);
    columns[1] = id[2];
    columns[2] = id[3];
    CopyShort(columns + 3, id.data() + 5, id.size() - 5);
}

// Reads Count digits off the front of Text.
bool TakeDigits(std::string_view& Text, std::size_t Count, int& Value)
{
    if (Text.size() < Count)
        return false;
    int value = 0;
    for (std::size_t i = 0; i < Count; ++i) {
        if (!IsDigit(Text[i]))
            return false;
        value = value * 10 + (Text[i] - '0');
    }
    Value = value;
    Text.remove_prefix(Count);
    return true;
}

bool TakeChar(std::string_view& Text, char C)
{
    if (Text.empty() || Text.front() != C)
        return false;
    Text.remove_prefix(1);
    return true;
}

struct TEpoch {
    int Year = 0;
    int Day = 0;                      // of the year, from 1
    std::uint64_t Ticks = 0;          // since midnight
    std::uint64_t TicksPerSecond = 1; // a power of ten
};

// "YYYY-MM-DD" or "YYYY-DDD".
bool TakeDate(std::string_view& Text, TEpoch& Epoch)
{
    int month = 0;
    int day = 0;
    if (!TakeDigits(Text, 4, Epoch.Year) || !TakeChar(Text, '-'))
        return false;
    if (Text.size() > 3 && IsDigit(Text[2]) && !IsDigit(Text[3]))
        return TakeDigits(Text, 3, Epoch.Day) && Epoch.Day >= 1 && Epoch.Day <= (IsLeapYear(Epoch.Year) ? 366 : 365);
    if (!TakeDigits(Text, 2, month) || !TakeChar(Text, '-') || !TakeDigits(Text, 2, day) || month < 1 || month > 12
        || day < 1 || day > DaysInMonth(Epoch.Year, month))
        return false;
    Epoch.Day = DayOfYear(Epoch.Year, month, day);
    return true;
}

// "HH:MM:SS" with an optional fraction of a second; digits past the ninth are below a
// nanosecond and are read over.
bool TakeTime(std::string_view& Text, TEpoch& Epoch)
{
    constexpr std::size_t UsedFractionDigits = 9;
    int hour = 0;
    int minute = 0;
    int second = 0;
    if (!TakeDigits(Text, 2, hour) || !TakeChar(Text, ':') || !TakeDigits(Text, 2, minute) || !TakeChar(Text, ':')
        || !TakeDigits(Text, 2, second) || hour > 23 || minute > 59 || second > 59)
        return false;
    Epoch.Ticks = static_cast<std::uint64_t>(hour * 3600 + minute * 60 + second);
    if (!TakeChar(Text, '.'))
        return true;
    std::size_t digits = 0;
    for (; digits < Text.size() && IsDigit(Text[digits]); ++digits)
        if (digits < UsedFractionDigits) {
            Epoch.Ticks = Epoch.Ticks * 10 + static_cast<std::uint64_t>(Text[digits] - '0');
            Epoch.TicksPerSecond *= 10;
        }
    Text.remove_prefix(digits);
    return digits > 0;
}

// "2020-12-13T16:36:04.502592" is written " 20348.69171878": a blank, the year's last two
// digits, the day of the year and its fraction to eight decimals, rounded half up. A time that
// rounds to the next midnight is written as that day.
void AppendEpoch(TLine& Line, std::string_view Text)
{
    std::string_view rest = RequiredText("EPOCH", Text);
    TEpoch epoch;
    const bool read = TakeDate(rest, epoch) && (TakeChar(rest, 'T') || TakeChar(rest, ' ')) && TakeTime(rest, epoch)
                      && (rest.empty() || rest == "Z");
    if (!read)
        Raise("EPOCH", Text, "is not a date and time");
    // The fraction in units of 10^-8 day is Ticks * 10^8 / (86400 * TicksPerSecond); as
    // 10^8 / 86400 = 31250 / 27, the products stay within 64 bits.
    const std::uint64_t numerator = epoch.Ticks * 31250;
    const std::uint64_t denominator = 27 * epoch.TicksPerSecond;
    std::uint64_t fraction = (2 * numerator + denominator) / (2 * denominator);
    constexpr std::uint64_t WholeDay = 100000000;
    if (fraction == WholeDay) {
        fraction = 0;
        if (++epoch.Day > (IsLeapYear(epoch.Year) ? 366 : 365)) {
            ++epoch.Year;
            epoch.Day = 1;
        }
    }
    if (epoch.Year < FirstEpochYear || epoch.Year >= FirstEpochYear + 100)
        Raise("EPOCH", Text, "is outside the years element lines can hold");
    char* const columns = Line.Take(15);
    columns[0] = ' ';
    WriteDigits(columns + 3, static_cast<unsigned long>(epoch.Year % 100), 2);
    WriteDigits(columns + 6, static_cast<unsigned long>(epoch.Day), 3);
    columns[6] = '.';
    WriteDigits(columns + 15, fraction, 8);
}

std::string_view NameLine(std::string_view Text)
{
    const std::string_view name = RequiredText("OBJECT_NAME", Text);
    if (std::any_of(name.begin(), name.end(), [](char C) { return static_cast<unsigned char>(C) < 32 || C == 127; }))
        Raise("OBJECT_NAME", Text, "holds a control character");
    return name;
}

// The five columns of a catalogue number.
using TNumberColumns = std::array<char, 5>;

// The letter the letter form writes for the ten-thousands of Number, from 100000 up: the rule is
// Alpha5Text's, asked once for each letter rather than a string made for every set.
char TenThousandsLetter(long Number)
{
    static const std::array<char, LargestElementLineNumber / 10000 + 1> letters = [] {
        std::array<char, LargestElementLineNumber / 10000 + 1> byTenThousands{};
        for (int i = FirstLetterFormNumber / 10000; i < static_cast<int>(byTenThousands.size()); ++i)
            byTenThousands[static_cast<std::size_t>(i)] = Alpha5Text(i * 10000).front();
        return byTenThousands;
    }();
    return letters[static_cast<std::size_t>(Number / 10000)];
}

// "1 25544" or "2 25544": the line's number and the catalogue number.
void AppendLineStart(TLine& Line, char LineNumber, const TNumberColumns& Number)
{
    char* const columns = Line.Take(2 + Number.size());
    columns[0] = LineNumber;
    columns[1] = ' ';
    std::copy(Number.begin(), Number.end(), columns + 2);
}

void WriteFirstLine(char* Columns, const TOmmRecordView& Record, const TNumberColumns& Number, TZeroExponent Zero)
{
    TLine line(Columns);
    AppendLineStart(line, '1', Number);
    AppendClassification(line, Record.ClassificationType);
    AppendDesignator(line, Record.ObjectId);
    AppendEpoch(line, Record.Epoch);
    AppendFirstDerivative(line, Record.MeanMotionDot);
    AppendExponent(line, "MEAN_MOTION_DDOT", Record.MeanMotionDdot, Zero);
    AppendExponent(line, "BSTAR", Record.Bstar, Zero);
    AppendSmallNumber(line, "EPHEMERIS_TYPE", Record.EphemerisType, 9, 1);
    AppendSmallNumber(line, "ELEMENT_SET_NO", Record.ElementSetNo, LargestElementSetNumber, 4);
    line.AddChecksum();
}

void WriteSecondLine(char* Columns, const TOmmRecordView& Record, const TNumberColumns& Number)
{
    TLine line(Columns);
    AppendLineStart(line, '2', Number);
    AppendFixed<3, 4>(line, "INCLINATION", Record.Inclination);
    AppendFixed<3, 4>(line, "RA_OF_ASC_NODE", Record.RaOfAscNode);
    AppendEccentricity(line, Record.Eccentricity);
    AppendFixed<3, 4>(line, "ARG_OF_PERICENTER", Record.ArgOfPericenter);
    AppendFixed<3, 4>(line, "MEAN_ANOMALY", Record.MeanAnomaly);
    AppendFixed<2, 8>(line, "MEAN_MOTION", Record.MeanMotion);
    AppendRevolution(line, Record.RevAtEpoch);
    line.AddChecksum();
}

// The record's catalogue number in its columns; nothing past LargestElementLineNumber.
std::optional<TNumberColumns> NumberColumns(const TOmmRecordView& Record)
{
    const std::string_view numberText = RequiredText("NORAD_CAT_ID", Record.NoradCatId);
    const std::optional<long> plain = PlainWholeNumber(numberText);
    const long number = plain ? *plain
                              : WholeNumber("NORAD_CAT_ID", Record.NoradCatId, NumberOf("NORAD_CAT_ID", numberText),
                                            LargestListedNumber);
    if (number > LargestElementLineNumber)
        return std::nullopt;
    TNumberColumns columns;
    if (number < FirstLetterFormNumber) {
        WriteDigits(columns.end(), static_cast<unsigned long>(number), 5);
    } else {
        columns[0] = TenThousandsLetter(number);
        WriteDigits(columns.end(), static_cast<unsigned long>(number % 10000), 4);
    }
    return columns;
}

// The name line, its line end and those of the two element lines.
std::size_t SetLength(std::string_view Name)
{
    return Name.size() + 1 + 2 * (WrittenElementLineLength + 1);
}

// Characters appended to a text, taken back again unless kept: a field that does not read must
// leave the text as it was.
class TAppended {
public:
    TAppended(std::string& Text, std::size_t Count) : Into(Text), Before(Text.size()) { Into.resize(Before + Count); }
    ~TAppended()
    {
        if (!Kept)
            Into.resize(Before);
    }
    TAppended(const TAppended&) = delete;
    TAppended& operator=(const TAppended&) = delete;

    char* Begin() { return Into.data() + Before; }
    void Keep() { Kept = true; }

private:
    std::string& Into;
    std::size_t Before;
    bool Kept = false;
};

} // namespace

TOmmRecordView ViewOf(const TOmmRecord& Record)
{
    return {Record.ObjectName,    Record.ObjectId,           Record.Epoch,
            Record.MeanMotion,    Record.Eccentricity,       Record.Inclination,
            Record.RaOfAscNode,   Record.ArgOfPericenter,    Record.MeanAnomaly,
            Record.EphemerisType, Record.ClassificationType, Record.NoradCatId,
            Record.ElementSetNo,  Record.RevAtEpoch,         Record.Bstar,
            Record.MeanMotionDot, Record.MeanMotionDdot};
}

std::optional<std::array<std::string, 3>> ElementLinesOf(const TOmmRecord& Record, TZeroExponent Zero)
{
    std::string text;
    if (!AppendElementLines(ViewOf(Record), text, Zero))
        return std::nullopt;
    const std::string_view set = text;
    const std::size_t nameLength = set.size() - SetLength({});
    const std::size_t line2 = nameLength + 1 + WrittenElementLineLength + 1;
    return std::array<std::string, 3>{std::string(set.substr(0, nameLength)),
                                      std::string(set.substr(nameLength + 1, WrittenElementLineLength)),
                                      std::string(set.substr(line2, WrittenElementLineLength))};
}

bool AppendElementLines(const TOmmRecord& Record, std::string& Text, TZeroExponent Zero)
{
    return AppendElementLines(ViewOf(Record), Text, Zero);
}

// The lines are written where they stand in Text, so the record must not view Text.
bool AppendElementLines(const TOmmRecordView& Record, std::string& Text, TZeroExponent Zero)
{
    const std::optional<TNumberColumns> number = NumberColumns(Record);
    if (!number)
        return false;
    const std::string_view name = NameLine(Record.ObjectName);
    TAppended appended(Text, SetLength(name));
    char* at = std::copy(name.begin(), name.end(), appended.Begin());
    *at++ = '\n';
    WriteFirstLine(at, Record, *number, Zero);
    at += WrittenElementLineLength;
    *at++ = '\n';
    WriteSecondLine(at, Record, *number);
    at[WrittenElementLineLength] = '\n';
    appended.Keep();
    return true;
}

} // namespace elsetry
