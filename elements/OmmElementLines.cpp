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
#include <utility>

namespace elsetry {

namespace {

constexpr std::size_t ShownTextLength = 40;
constexpr std::size_t LineLength = 69;
constexpr int FirstEpochYear = 1957;       // two-digit years 57 to 99 stand for 1957 to 1999
constexpr long RevolutionNumbers = 100000; // the five columns count revolutions modulo this
constexpr long LargestElementSetNumber = 9999;
constexpr long LargestListedNumber = 999999999;

[[noreturn]] void Raise(std::string_view Field, std::string_view Text, std::string_view Fault)
{
    throw EOmmFormat(std::string(Field) + " \"" + EscapeControls(Text.substr(0, ShownTextLength)) + "\" "
                     + std::string(Fault));
}

std::string_view RequiredText(std::string_view Field, const std::string& Text)
{
    const std::string_view trimmed = Trim(Text);
    if (trimmed.empty())
        throw EOmmFormat(std::string(Field) + " is empty");
    return trimmed;
}

TDecimal NumberOf(std::string_view Field, std::string_view Text)
{
    const std::optional<TDecimal> number = ReadDecimalText(Text);
    if (!number)
        Raise(Field, Text, "is not a number");
    return std::move(*number);
}

TDecimal RequiredNumber(std::string_view Field, const std::string& Text)
{
    return NumberOf(Field, RequiredText(Field, Text));
}

// A field left out is zero.
TDecimal OptionalNumber(std::string_view Field, const std::string& Text)
{
    const std::string_view trimmed = Trim(Text);
    return trimmed.empty() ? TDecimal{} : NumberOf(Field, trimmed);
}

long WholeNumber(std::string_view Field, std::string_view Text, const TDecimal& Number, long Largest)
{
    const std::optional<long> value = WholeValue(Number);
    if (!value || *value < 0 || *value > Largest)
        Raise(Field, Text, "does not fit its columns");
    return *value;
}

void AppendRightAligned(std::string& Line, std::string_view Text, std::size_t Width)
{
    Line.append(Width > Text.size() ? Width - Text.size() : 0, ' ');
    Line += Text;
}

TFixedDigits Rounded(std::string_view Field, std::string_view Text, const TDecimal& Number, int Places)
{
    const std::optional<TFixedDigits> fixed = RoundedToPlaces(Number, Places);
    if (!fixed)
        Raise(Field, Text, "does not fit its columns");
    return *fixed;
}

// "%W.Pf" with W = WholeDigits + 1 + Places, for a number that is not negative.
void AppendFixed(std::string& Line, std::string_view Field, const std::string& Text, std::size_t WholeDigits,
                 int Places)
{
    const TFixedDigits fixed = Rounded(Field, Text, RequiredNumber(Field, Text), Places);
    if (fixed.Negative)
        Raise(Field, Text, "is negative");
    if (fixed.Whole().size() > WholeDigits)
        Raise(Field, Text, "does not fit its columns");
    AppendRightAligned(Line, fixed.Whole().empty() ? "0" : fixed.Whole(), WholeDigits);
    Line += '.';
    Line += fixed.Fraction();
}

void AppendAngle(std::string& Line, std::string_view Field, const std::string& Text)
{
    Line += ' ';
    AppendFixed(Line, Field, Text, 3, 4);
}

// Seven digits behind an implied "0.".
void AppendEccentricity(std::string& Line, const std::string& Text)
{
    const TFixedDigits fixed = Rounded("ECCENTRICITY", Text, RequiredNumber("ECCENTRICITY", Text), 7);
    if (fixed.Negative || !fixed.Whole().empty())
        Raise("ECCENTRICITY", Text, "does not fit its columns");
    Line += ' ';
    Line += fixed.Fraction();
}

// " .00016717" or "-.00002182": a sign and eight decimals, the leading zero dropped.
void AppendFirstDerivative(std::string& Line, const std::string& Text)
{
    const TFixedDigits fixed = Rounded("MEAN_MOTION_DOT", Text, OptionalNumber("MEAN_MOTION_DOT", Text), 8);
    if (!fixed.Whole().empty())
        Raise("MEAN_MOTION_DOT", Text, "does not fit its columns");
    Line += fixed.Negative ? " -." : "  .";
    Line += fixed.Fraction();
}

// " 10270-3" for 0.10270e-3: a sign, five digits behind an implied "0.", the power of ten. Zero is
// " 00000-0" or " 00000+0", as the service whose lines the file stands for writes it.
void AppendExponent(std::string& Line, std::string_view Field, const std::string& Text, TZeroExponent Zero)
{
    const TScientificDigits digits = RoundedToSignificant(OptionalNumber(Field, Text), 5);
    Line += ' ';
    if (digits.Mantissa.Count == 0) {
        Line += Zero == TZeroExponent::Plus ? " 00000+0" : " 00000-0";
        return;
    }
    if (digits.Power < -9 || digits.Power > 9)
        Raise(Field, Text, "does not fit its columns");
    Line += digits.Negative ? '-' : ' ';
    Line += digits.Mantissa.Text();
    Line += digits.Power < 0 ? '-' : '+';
    Line += static_cast<char>('0' + (digits.Power < 0 ? -digits.Power : digits.Power));
}

void AppendClassification(std::string& Line, const std::string& Text)
{
    const std::string_view trimmed = Trim(Text);
    if (trimmed.empty()) {
        Line += 'U';
        return;
    }
    const char letter = trimmed.front();
    if (trimmed.size() != 1 || !((letter >= 'A' && letter <= 'Z') || (letter >= 'a' && letter <= 'z')))
        Raise("CLASSIFICATION_TYPE", Text, "is not a letter");
    Line += UpperCase(trimmed);
}

void AppendSmallNumber(std::string& Line, std::string_view Field, const std::string& Text, long Largest,
                       std::size_t Width)
{
    const std::string_view trimmed = Trim(Text);
    const long value = trimmed.empty() ? 0 : WholeNumber(Field, Text, NumberOf(Field, trimmed), Largest);
    Line += ' ';
    AppendRightAligned(Line, std::to_string(value), Width);
}

void AppendRevolution(std::string& Line, const std::string& Text)
{
    const std::string_view trimmed = Trim(Text);
    const long value = trimmed.empty()
                           ? 0
                           : WholeNumber("REV_AT_EPOCH", Text, NumberOf("REV_AT_EPOCH", trimmed), LargestListedNumber);
    AppendRightAligned(Line, std::to_string(value % RevolutionNumbers), 5);
}

bool IsUpperLetter(char C)
{
    return C >= 'A' && C <= 'Z';
}

// "1998-067A" is written "98067A  ": the year's last two digits, the launch and the piece, in
// eight columns. An object without a designator leaves them blank.
void AppendDesignator(std::string& Line, const std::string& Text)
{
    Line += ' ';
    const std::string_view id = Trim(Text);
    if (id.empty()) {
        Line.append(8, ' ');
        return;
    }
    const std::string_view piece = id.size() > 8 ? id.substr(8) : std::string_view();
    const bool valid = id.size() >= 8 && id.size() <= 11 && std::all_of(id.begin(), id.begin() + 4, IsDigit)
                       && id[4] == '-' && std::all_of(id.begin() + 5, id.begin() + 8, IsDigit)
                       && std::all_of(piece.begin(), piece.end(), IsUpperLetter);
    if (!valid)
        Raise("OBJECT_ID", Text, "is not an international designator");
    Line += id.substr(2, 2);
    Line += id.substr(5);
    Line.append(11 - id.size(), ' ');
}

// Reads Count digits off the front of Text.
bool TakeDigits(std::string_view& Text, std::size_t Count, int& Value)
{
    if (Text.size() < Count || !std::all_of(Text.begin(), Text.begin() + static_cast<std::ptrdiff_t>(Count), IsDigit))
        return false;
    Value = 0;
    for (std::size_t i = 0; i < Count; ++i)
        Value = Value * 10 + (Text[i] - '0');
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

std::string TwoDigits(int N)
{
    return {static_cast<char>('0' + N / 10 % 10), static_cast<char>('0' + N % 10)};
}

// "2020-12-13T16:36:04.502592" is written "20348.69171878": the year's last two digits, the day
// of the year and its fraction to eight decimals, rounded half up. A time that rounds to the
// next midnight is written as that day.
void AppendEpoch(std::string& Line, const std::string& Text)
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
    const std::string fractionText = std::to_string(fraction + WholeDay);
    Line += ' ';
    Line += TwoDigits(epoch.Year % 100);
    Line += std::string_view(std::to_string(epoch.Day + 1000)).substr(1);
    Line += '.';
    Line += std::string_view(fractionText).substr(1);
}

std::string_view NameLine(const std::string& Text)
{
    const std::string_view name = RequiredText("OBJECT_NAME", Text);
    if (std::any_of(name.begin(), name.end(), [](char C) { return static_cast<unsigned char>(C) < 32 || C == 127; }))
        Raise("OBJECT_NAME", Text, "holds a control character");
    return name;
}

// The checksum of the line that begins at Start.
void AppendChecksum(std::string& Text, std::size_t Start)
{
    Text += static_cast<char>('0' + ElementLineChecksum(std::string_view(Text).substr(Start)));
}

void AppendFirstLine(std::string& Line, const TOmmRecord& Record, std::string_view Number, TZeroExponent Zero)
{
    const std::size_t start = Line.size();
    Line += "1 ";
    Line += Number;
    AppendClassification(Line, Record.ClassificationType);
    AppendDesignator(Line, Record.ObjectId);
    AppendEpoch(Line, Record.Epoch);
    AppendFirstDerivative(Line, Record.MeanMotionDot);
    AppendExponent(Line, "MEAN_MOTION_DDOT", Record.MeanMotionDdot, Zero);
    AppendExponent(Line, "BSTAR", Record.Bstar, Zero);
    AppendSmallNumber(Line, "EPHEMERIS_TYPE", Record.EphemerisType, 9, 1);
    AppendSmallNumber(Line, "ELEMENT_SET_NO", Record.ElementSetNo, LargestElementSetNumber, 4);
    AppendChecksum(Line, start);
}

void AppendSecondLine(std::string& Line, const TOmmRecord& Record, std::string_view Number)
{
    const std::size_t start = Line.size();
    Line += "2 ";
    Line += Number;
    AppendAngle(Line, "INCLINATION", Record.Inclination);
    AppendAngle(Line, "RA_OF_ASC_NODE", Record.RaOfAscNode);
    AppendEccentricity(Line, Record.Eccentricity);
    AppendAngle(Line, "ARG_OF_PERICENTER", Record.ArgOfPericenter);
    AppendAngle(Line, "MEAN_ANOMALY", Record.MeanAnomaly);
    Line += ' ';
    AppendFixed(Line, "MEAN_MOTION", Record.MeanMotion, 2, 8);
    AppendRevolution(Line, Record.RevAtEpoch);
    AppendChecksum(Line, start);
}

// The five columns of the record's catalogue number; nothing past LargestElementLineNumber.
std::optional<std::string> NumberColumns(const TOmmRecord& Record)
{
    const std::string_view numberText = RequiredText("NORAD_CAT_ID", Record.NoradCatId);
    const long number = WholeNumber("NORAD_CAT_ID", Record.NoradCatId, NumberOf("NORAD_CAT_ID", numberText),
                                    LargestListedNumber);
    if (number > LargestElementLineNumber)
        return std::nullopt;
    return Alpha5Text(static_cast<int>(number));
}

} // namespace

std::optional<std::array<std::string, 3>> ElementLinesOf(const TOmmRecord& Record, TZeroExponent Zero)
{
    const std::optional<std::string> columns = NumberColumns(Record);
    if (!columns)
        return std::nullopt;
    std::array<std::string, 3> lines{std::string(NameLine(Record.ObjectName)), {}, {}};
    lines[1].reserve(LineLength);
    lines[2].reserve(LineLength);
    AppendFirstLine(lines[1], Record, *columns, Zero);
    AppendSecondLine(lines[2], Record, *columns);
    return lines;
}

bool AppendElementLines(const TOmmRecord& Record, std::string& Text, TZeroExponent Zero)
{
    const std::size_t start = Text.size();
    try {
        const std::optional<std::string> columns = NumberColumns(Record);
        if (!columns)
            return false;
        Text += NameLine(Record.ObjectName);
        Text += '\n';
        AppendFirstLine(Text, Record, *columns, Zero);
        Text += '\n';
        AppendSecondLine(Text, Record, *columns);
        Text += '\n';
        return true;
    } catch (const EOmmFormat&) {
        // Passed on with the text as it was, so that the sets before stay whole.
        Text.resize(start);
        throw;
    }
}

} // namespace elsetry
