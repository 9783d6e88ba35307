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
#include <stdexcept>

namespace elsetry {

namespace {

constexpr std::size_t ShownTextLength = 40;
constexpr int FirstEpochYear = 1957;       // two-digit years 57 to 99 stand for 1957 to 1999
constexpr long RevolutionNumbers = 100000; // the five columns count revolutions modulo this
constexpr long LargestElementSetNumber = 9999;
constexpr long LargestListedNumber = 999999999;
constexpr long FirstLetterFormNumber = 100000;

// One element line as it is written, in a buffer of its own: every set writes two, so no string
// grows for each field.
class TLine {
public:
    void Add(char C)
    {
        MakeRoom(1);
        Chars[Size++] = C;
    }
    // Fields are a few characters each: a loop beats a call to copy them.
    void Add(std::string_view Text)
    {
        MakeRoom(Text.size());
        for (const char c : Text)
            Chars[Size++] = c;
    }
    void AddBlanks(std::size_t Count)
    {
        MakeRoom(Count);
        std::fill_n(Chars.begin() + static_cast<std::ptrdiff_t>(Size), Count, ' ');
        Size += Count;
    }
    // Value in Width digits, with leading zeros.
    void AddDigits(unsigned long Value, std::size_t Width)
    {
        MakeRoom(Width);
        for (std::size_t i = Width; i-- > 0; Value /= 10)
            Chars[Size + i] = static_cast<char>('0' + Value % 10);
        Size += Width;
    }
    // Value right-aligned in Width columns; a wider value takes the columns it needs.
    void AddRightAligned(unsigned long Value, std::size_t Width)
    {
        std::size_t digits = 1;
        for (unsigned long rest = Value / 10; rest > 0; rest /= 10)
            ++digits;
        AddBlanks(Width > digits ? Width - digits : 0);
        AddDigits(Value, digits);
    }
    std::string_view Text() const { return {Chars.data(), Size}; }

private:
    // Every field is checked to fit its columns before it is written, so a line never runs over.
    void MakeRoom(std::size_t Count) const
    {
        if (Size + Count > Chars.size())
            throw std::length_error("an element line runs past its columns");
    }

    std::array<char, 80> Chars{};
    std::size_t Size = 0;
};

// A number as most fields give it, [-]digits[.digits] without an exponent, rounded to a number
// of decimals in one pass over its text: the same digits RoundedToPlaces gives, without a
// decimal read first for each of the many fields a file holds.
struct TPlainRounding {
    static constexpr std::size_t LongestWhole = 12;
    bool Negative = false;
    std::size_t WholeCount = 0; // digits before the point, without leading zeros
    std::array<char, LongestWhole + 1> Whole{};
    std::array<char, TDigits::Capacity> Fraction{};
    std::string_view WholeText() const { return {Whole.data(), WholeCount}; }
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

// False for a text of any other form, and for one with more whole digits than LongestWhole:
// those take the general reading.
bool RoundPlain(std::string_view Text, std::size_t Places, TPlainRounding& Out)
{
    const bool negative = Text.starts_with('-');
    const std::size_t digitsStart = negative || Text.starts_with('+') ? 1 : 0;
    std::size_t i = digitsStart;
    while (i < Text.size() && Text[i] == '0')
        ++i;
    const std::size_t wholeStart = i;
    while (i < Text.size() && IsDigit(Text[i]))
        ++i;
    const std::size_t wholeEnd = i;
    std::size_t fractionStart = i;
    if (i < Text.size() && Text[i] == '.')
        fractionStart = ++i;
    while (i < Text.size() && IsDigit(Text[i]))
        ++i;
    const std::size_t fractionLength = i - fractionStart;
    const bool anyDigit = wholeEnd > digitsStart || fractionLength > 0;
    if (i != Text.size() || !anyDigit || wholeEnd - wholeStart > TPlainRounding::LongestWhole)
        return false;
    Out.WholeCount = wholeEnd - wholeStart;
    std::copy(Text.begin() + static_cast<std::ptrdiff_t>(wholeStart),
              Text.begin() + static_cast<std::ptrdiff_t>(wholeEnd), Out.Whole.begin());
    for (std::size_t k = 0; k < Places; ++k)
        Out.Fraction[k] = k < fractionLength ? Text[fractionStart + k] : '0';
    if (Places < fractionLength && Text[fractionStart + Places] >= '5' && Increment(Out.Fraction.data(), Places)
        && Increment(Out.Whole.data(), Out.WholeCount)) {
        std::copy_backward(Out.Whole.begin(), Out.Whole.begin() + static_cast<std::ptrdiff_t>(Out.WholeCount),
                           Out.Whole.begin() + static_cast<std::ptrdiff_t>(Out.WholeCount + 1));
        Out.Whole[0] = '1';
        ++Out.WholeCount;
    }
    Out.Negative = negative
                   && (Out.WholeCount > 0
                       || std::any_of(Out.Fraction.begin(), Out.Fraction.begin() + static_cast<std::ptrdiff_t>(Places),
                                      [](char C) { return C != '0'; }));
    return true;
}

// The value of a text of at most nine digits and nothing else.
std::optional<long> PlainWholeNumber(std::string_view Text)
{
    if (Text.empty() || Text.size() > 9)
        return std::nullopt;
    long value = 0;
    for (const char c : Text) {
        if (!IsDigit(c))
            return std::nullopt;
        value = value * 10 + (c - '0');
    }
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

// The length of a text that is already what "%W.Pf" writes of it, blanks aside: digits without a
// leading zero (or one "0"), a point and Places decimals, as the services mostly write a field;
// 0 for any other.
std::size_t ExactFixedLength(std::string_view Text, std::size_t WholeDigits, std::size_t Places)
{
    if (Text.size() <= Places + 1 || Text.size() > WholeDigits + 1 + Places)
        return 0;
    const std::size_t point = Text.size() - Places - 1;
    if (Text[point] != '.' || (Text[0] == '0' && point > 1))
        return 0;
    for (std::size_t i = 0; i < Text.size(); ++i)
        if (i != point && !IsDigit(Text[i]))
            return 0;
    return point;
}

// "%W.Pf" with W = WholeDigits + 1 + Places, for a number that is not negative.
void AppendFixed(TLine& Line, std::string_view Field, std::string_view Text, std::size_t WholeDigits, int Places)
{
    const std::string_view trimmed = Trim(Text);
    if (const std::size_t whole = ExactFixedLength(trimmed, WholeDigits, static_cast<std::size_t>(Places))) {
        Line.AddBlanks(WholeDigits - whole);
        Line.Add(trimmed);
        return;
    }
    TPlainRounding plain;
    if (RoundPlain(Trim(Text), static_cast<std::size_t>(Places), plain) && !plain.Negative
        && plain.WholeCount <= WholeDigits) {
        const std::string_view whole = plain.WholeCount == 0 ? "0" : plain.WholeText();
        Line.AddBlanks(WholeDigits - whole.size());
        Line.Add(whole);
        Line.Add('.');
        Line.Add({plain.Fraction.data(), static_cast<std::size_t>(Places)});
        return;
    }
    const TFixedDigits fixed = Rounded(Field, Text, RequiredNumber(Field, Text), Places);
    if (fixed.Negative)
        Raise(Field, Text, "is negative");
    const std::string_view whole = fixed.Whole().empty() ? "0" : fixed.Whole();
    if (fixed.Whole().size() > WholeDigits)
        Raise(Field, Text, "does not fit its columns");
    Line.AddBlanks(WholeDigits - whole.size());
    Line.Add(whole);
    Line.Add('.');
    Line.Add(fixed.Fraction());
}

void AppendAngle(TLine& Line, std::string_view Field, std::string_view Text)
{
    Line.Add(' ');
    AppendFixed(Line, Field, Text, 3, 4);
}

// Seven digits behind an implied "0.".
void AppendEccentricity(TLine& Line, std::string_view Text)
{
    constexpr std::size_t Places = 7;
    const std::string_view trimmed = Trim(Text);
    if (ExactFixedLength(trimmed, 1, Places) == 1 && trimmed[0] == '0') {
        Line.Add(' ');
        Line.Add(trimmed.substr(2));
        return;
    }
    TPlainRounding plain;
    if (RoundPlain(Trim(Text), Places, plain) && !plain.Negative && plain.WholeCount == 0) {
        Line.Add(' ');
        Line.Add({plain.Fraction.data(), Places});
        return;
    }
    const TFixedDigits fixed = Rounded("ECCENTRICITY", Text, RequiredNumber("ECCENTRICITY", Text), 7);
    if (fixed.Negative || !fixed.Whole().empty())
        Raise("ECCENTRICITY", Text, "does not fit its columns");
    Line.Add(' ');
    Line.Add(fixed.Fraction());
}

// " .00016717" or "-.00002182": a sign and eight decimals, the leading zero dropped.
void AppendFirstDerivative(TLine& Line, std::string_view Text)
{
    constexpr std::size_t Places = 8;
    TPlainRounding plain;
    if (RoundPlain(Trim(Text), Places, plain) && plain.WholeCount == 0) {
        Line.Add(plain.Negative ? " -." : "  .");
        Line.Add({plain.Fraction.data(), Places});
        return;
    }
    const TFixedDigits fixed = Rounded("MEAN_MOTION_DOT", Text, OptionalNumber("MEAN_MOTION_DOT", Text), 8);
    if (!fixed.Whole().empty())
        Raise("MEAN_MOTION_DOT", Text, "does not fit its columns");
    Line.Add(fixed.Negative ? " -." : "  .");
    Line.Add(fixed.Fraction());
}

// " 10270-3" for 0.10270e-3: a sign, five digits behind an implied "0.", the power of ten. Zero is
// " 00000-0" or " 00000+0", as the service whose lines the file stands for writes it.
void AppendExponent(TLine& Line, std::string_view Field, std::string_view Text, TZeroExponent Zero)
{
    // Most second derivatives are written as a bare zero.
    const TScientificDigits digits = Text == "0" ? TScientificDigits{}
                                                 : RoundedToSignificant(OptionalNumber(Field, Text), 5);
    Line.Add(' ');
    if (digits.Mantissa.Count == 0) {
        Line.Add(Zero == TZeroExponent::Plus ? " 00000+0" : " 00000-0");
        return;
    }
    if (digits.Power < -9 || digits.Power > 9)
        Raise(Field, Text, "does not fit its columns");
    Line.Add(digits.Negative ? '-' : ' ');
    Line.Add(digits.Mantissa.Text());
    Line.Add(digits.Power < 0 ? '-' : '+');
    Line.Add(static_cast<char>('0' + (digits.Power < 0 ? -digits.Power : digits.Power)));
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

void AppendSmallNumber(TLine& Line, std::string_view Field, std::string_view Text, long Largest, std::size_t Width)
{
    const std::string_view trimmed = Trim(Text);
    const std::optional<long> plain = PlainWholeNumber(trimmed);
    const long value = plain && *plain <= Largest ? *plain
                       : trimmed.empty()          ? 0
                                                  : WholeNumber(Field, Text, NumberOf(Field, trimmed), Largest);
    Line.Add(' ');
    Line.AddRightAligned(static_cast<unsigned long>(value), Width);
}

void AppendRevolution(TLine& Line, std::string_view Text)
{
    const std::string_view trimmed = Trim(Text);
    const std::optional<long> plain = PlainWholeNumber(trimmed);
    const long value = plain ? *plain
                       : trimmed.empty()
                           ? 0
                           : WholeNumber("REV_AT_EPOCH", Text, NumberOf("REV_AT_EPOCH", trimmed), LargestListedNumber);
    Line.AddRightAligned(static_cast<unsigned long>(value % RevolutionNumbers), 5);
}

bool IsUpperLetter(char C)
{
    return C >= 'A' && C <= 'Z';
}

// "1998-067A" is written "98067A  ": the year's last two digits, the launch and the piece, in
// eight columns. An object without a designator leaves them blank.
void AppendDesignator(TLine& Line, std::string_view Text)
{
    Line.Add(' ');
    const std::string_view id = Trim(Text);
    if (id.empty()) {
        Line.AddBlanks(8);
        return;
    }
    const std::string_view piece = id.size() > 8 ? id.substr(8) : std::string_view();
    const auto isDigit = [](char C) { return C >= '0' && C <= '9'; };
    const bool valid = id.size() >= 8 && id.size() <= 11 && std::all_of(id.begin(), id.begin() + 4, isDigit)
                       && id[4] == '-' && std::all_of(id.begin() + 5, id.begin() + 8, isDigit)
                       && std::all_of(piece.begin(), piece.end(), IsUpperLetter);
    if (!valid)
        Raise("OBJECT_ID", Text, "is not an international designator");
    Line.Add(id.substr(2, 2));
    Line.Add(id.substr(5));
    Line.AddBlanks(11 - id.size());
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

// "2020-12-13T16:36:04.502592" is written "20348.69171878": the year's last two digits, the day
// of the year and its fraction to eight decimals, rounded half up. A time that rounds to the
// next midnight is written as that day.
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
    Line.Add(' ');
    Line.AddDigits(static_cast<unsigned long>(epoch.Year % 100), 2);
    Line.AddDigits(static_cast<unsigned long>(epoch.Day), 3);
    Line.Add('.');
    Line.AddDigits(fraction, 8);
}

std::string_view NameLine(std::string_view Text)
{
    const std::string_view name = RequiredText("OBJECT_NAME", Text);
    if (std::any_of(name.begin(), name.end(), [](char C) { return static_cast<unsigned char>(C) < 32 || C == 127; }))
        Raise("OBJECT_NAME", Text, "holds a control character");
    return name;
}

void AppendChecksum(TLine& Line)
{
    Line.Add(static_cast<char>('0' + ElementLineChecksum(Line.Text())));
}

TLine FirstLine(const TOmmRecordView& Record, std::string_view Number, TZeroExponent Zero)
{
    TLine line;
    line.Add("1 ");
    line.Add(Number);
    AppendClassification(line, Record.ClassificationType);
    AppendDesignator(line, Record.ObjectId);
    AppendEpoch(line, Record.Epoch);
    AppendFirstDerivative(line, Record.MeanMotionDot);
    AppendExponent(line, "MEAN_MOTION_DDOT", Record.MeanMotionDdot, Zero);
    AppendExponent(line, "BSTAR", Record.Bstar, Zero);
    AppendSmallNumber(line, "EPHEMERIS_TYPE", Record.EphemerisType, 9, 1);
    AppendSmallNumber(line, "ELEMENT_SET_NO", Record.ElementSetNo, LargestElementSetNumber, 4);
    AppendChecksum(line);
    return line;
}

TLine SecondLine(const TOmmRecordView& Record, std::string_view Number)
{
    TLine line;
    line.Add("2 ");
    line.Add(Number);
    AppendAngle(line, "INCLINATION", Record.Inclination);
    AppendAngle(line, "RA_OF_ASC_NODE", Record.RaOfAscNode);
    AppendEccentricity(line, Record.Eccentricity);
    AppendAngle(line, "ARG_OF_PERICENTER", Record.ArgOfPericenter);
    AppendAngle(line, "MEAN_ANOMALY", Record.MeanAnomaly);
    line.Add(' ');
    AppendFixed(line, "MEAN_MOTION", Record.MeanMotion, 2, 8);
    AppendRevolution(line, Record.RevAtEpoch);
    AppendChecksum(line);
    return line;
}

// The five columns of the record's catalogue number; nothing past LargestElementLineNumber.
std::optional<TLine> NumberColumns(const TOmmRecordView& Record)
{
    const std::string_view numberText = RequiredText("NORAD_CAT_ID", Record.NoradCatId);
    const std::optional<long> plain = PlainWholeNumber(numberText);
    const long number = plain ? *plain
                              : WholeNumber("NORAD_CAT_ID", Record.NoradCatId, NumberOf("NORAD_CAT_ID", numberText),
                                            LargestListedNumber);
    if (number > LargestElementLineNumber)
        return std::nullopt;
    TLine columns;
    if (number < FirstLetterFormNumber)
        columns.AddDigits(static_cast<unsigned long>(number), 5);
    else
        columns.Add(Alpha5Text(static_cast<int>(number)));
    return columns;
}

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
    const TOmmRecordView view = ViewOf(Record);
    const std::optional<TLine> columns = NumberColumns(view);
    if (!columns)
        return std::nullopt;
    std::array<std::string, 3> lines{std::string(NameLine(view.ObjectName)), {}, {}};
    lines[1] = FirstLine(view, columns->Text(), Zero).Text();
    lines[2] = SecondLine(view, columns->Text()).Text();
    return lines;
}

bool AppendElementLines(const TOmmRecord& Record, std::string& Text, TZeroExponent Zero)
{
    return AppendElementLines(ViewOf(Record), Text, Zero);
}

// Every field is read and written before anything is appended, so that a fault leaves Text as
// it was.
bool AppendElementLines(const TOmmRecordView& Record, std::string& Text, TZeroExponent Zero)
{
    const std::optional<TLine> columns = NumberColumns(Record);
    if (!columns)
        return false;
    const std::string_view name = NameLine(Record.ObjectName);
    const TLine first = FirstLine(Record, columns->Text(), Zero);
    const TLine second = SecondLine(Record, columns->Text());
    if (first.Text().size() != WrittenElementLineLength || second.Text().size() != WrittenElementLineLength)
        throw std::logic_error("an element line is not as long as its columns");
    Text += name;
    Text += '\n';
    Text += first.Text();
    Text += '\n';
    Text += second.Text();
    Text += '\n';
    return true;
}

} // namespace elsetry
