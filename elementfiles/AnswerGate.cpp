#include "elementfiles/AnswerGate.h"

#include "elementfiles/ElementCheck.h"
#include "elementfiles/GroupFailure.h"
#include "elements/ElementColumns.h"
#include "elements/ElementFields.h"
#include "orbit/EpochTime.h"
#include "text/CatalogueNumber.h"
#include "text/Lines.h"
#include "text/Numbers.h"
#include "text/Strings.h"

#include <optional>

namespace elsetry {

namespace {

constexpr std::size_t ElementLineLength = 69;
constexpr std::size_t LongestNameLine = 80;
// Sets dated later than this after the run are taken for bad ones.
constexpr double FutureEpochDays = 1.0;
// The year the first satellite was launched; no element set is older.
constexpr double FirstEpoch = 57001.0;
constexpr double LargestMeanMotion = 20.0;
constexpr double LargestInclination = 180.0;

std::string_view WithoutTrailingBlanks(std::string_view Line)
{
    while (!Line.empty() && (Line.back() == ' ' || Line.back() == '\r'))
        Line.remove_suffix(1);
    return Line;
}

bool LooksLikeElementLine(std::string_view Line)
{
    return Line.size() >= MinimumElementLineLength && (Line[0] == '1' || Line[0] == '2') && Line[1] == ' ';
}

bool IsC0OrDel(unsigned char C)
{
    return C < 0x20 || C == 0x7F;
}

// The length of the UTF-8 sequence that starts at Text[At], or 0 when none does.
std::size_t Utf8SequenceLength(std::string_view Text, std::size_t At)
{
    const auto lead = static_cast<unsigned char>(Text[At]);
    const std::size_t length = lead >= 0xF0 && lead <= 0xF4 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC2 ? 2 : 0;
    if (length == 0 || lead > 0xF4 || At + length > Text.size())
        return 0;
    for (std::size_t i = 1; i < length; ++i)
        if ((static_cast<unsigned char>(Text[At + i]) & 0xC0) != 0x80)
            return 0;
    return length;
}

// C0 controls, DEL and C1 controls: written in UTF-8 (U+0080 to U+009F), or as single bytes
// where the text is not UTF-8.
bool HoldsControlCharacter(std::string_view Text)
{
    for (std::size_t i = 0; i < Text.size();) {
        const auto c = static_cast<unsigned char>(Text[i]);
        if (IsC0OrDel(c))
            return true;
        const std::size_t sequence = c >= 0x80 ? Utf8SequenceLength(Text, i) : 0;
        if (sequence == 2 && c == 0xC2 && static_cast<unsigned char>(Text[i + 1]) <= 0x9F)
            return true;
        if (sequence == 0 && c >= 0x80 && c <= 0x9F)
            return true;
        i += sequence == 0 ? 1 : sequence;
    }
    return false;
}

bool AllDigitsOrEmpty(std::string_view Text)
{
    for (const char c : Text)
        if (!IsDigit(c))
            return false;
    return true;
}

std::string_view WithoutLeadingBlanks(std::string_view Text)
{
    while (!Text.empty() && Text.front() == ' ')
        Text.remove_prefix(1);
    return Text;
}

// A signed decimal with digits and at most one point, as element fields write them.
std::optional<double> FieldDecimal(std::string_view Text)
{
    Text = WithoutLeadingBlanks(Text);
    if (!Text.empty() && Text.front() == '+')
        Text.remove_prefix(1);
    return ReadPlainDecimal(Text, false);
}

enum class TFieldForm {
    CatalogueNumber, // digits, or a letter and four digits
    Epoch,           // YYDDD.DDDDDDDD
    Decimal,         // blanks, a sign, digits and a point
    Digits,          // digits only
    Count,           // blanks, then digits
    Exponent,        // sign or blank, five digits, signed exponent digit: "-11606-4"
    DigitOrBlank,
};

struct TField {
    TColumns Columns;
    const char* Name;
    TFieldForm Form;
};

constexpr TColumns ElementSetNumberColumns{65, 4};

constexpr TField Line1Fields[] = {
    {Line1::CatalogueNumber, "catalogue number", TFieldForm::CatalogueNumber},
    {Line1::Epoch, "epoch", TFieldForm::Epoch},
    {Line1::MeanMotionDot, "first derivative of the mean motion", TFieldForm::Decimal},
    {Line1::MeanMotionDDot, "second derivative of the mean motion", TFieldForm::Exponent},
    {Line1::Drag, "drag term", TFieldForm::Exponent},
    {Line1::EphemerisType, "ephemeris type", TFieldForm::DigitOrBlank},
    {ElementSetNumberColumns, "element set number", TFieldForm::Count},
};
constexpr TField Line2Fields[] = {
    {Line2::CatalogueNumber, "catalogue number", TFieldForm::CatalogueNumber},
    {Line2::Inclination, "inclination", TFieldForm::Decimal},
    {Line2::AscendingNode, "ascending node", TFieldForm::Decimal},
    {Line2::Eccentricity, "eccentricity", TFieldForm::Digits},
    {Line2::ArgumentOfPerigee, "argument of perigee", TFieldForm::Decimal},
    {Line2::MeanAnomaly, "mean anomaly", TFieldForm::Decimal},
    {Line2::MeanMotion, "mean motion", TFieldForm::Decimal},
    {Line2::RevolutionNumber, "revolution number", TFieldForm::Count},
};
// The columns between the fields, blank in every element line.
constexpr std::size_t Line1Blanks[] = {2, 9, 18, 33, 44, 53, 62, 64};
constexpr std::size_t Line2Blanks[] = {2, 8, 17, 26, 34, 43, 52};

bool ReadsAs(std::string_view Text, TFieldForm Form)
{
    switch (Form) {
    case TFieldForm::CatalogueNumber:
        return CatalogueNumberValue(Text).has_value();
    case TFieldForm::Epoch:
        return AllDigits(Text.substr(0, 5)) && Text[5] == '.' && AllDigits(Text.substr(6));
    case TFieldForm::Decimal:
        return FieldDecimal(Text).has_value();
    case TFieldForm::Digits:
        return AllDigits(Text);
    case TFieldForm::Count:
        return AllDigitsOrEmpty(WithoutLeadingBlanks(Text));
    case TFieldForm::Exponent:
        return (Text[0] == ' ' || Text[0] == '+' || Text[0] == '-') && AllDigits(Text.substr(1, 5))
               && (Text[6] == '+' || Text[6] == '-') && IsDigit(Text[7]);
    case TFieldForm::DigitOrBlank:
        return Text[0] == ' ' || IsDigit(Text[0]);
    }
    return false;
}

// What is wrong with an element line of the given number, or nothing. The line comes without
// its trailing blanks.
template <std::size_t FieldCount, std::size_t BlankCount>
std::optional<std::string> ElementLineFault(std::string_view Line, const TField (&Fields)[FieldCount],
                                            const std::size_t (&Blanks)[BlankCount])
{
    if (Line.size() < ElementLineLength)
        return "is cut short";
    if (Line.size() > ElementLineLength)
        return "is too long";
    // Element lines are plain ASCII: any other byte is out of place in them.
    for (const char c : Line)
        if (static_cast<unsigned char>(c) < 0x20 || static_cast<unsigned char>(c) >= 0x7F)
            return HoldsControlCharacter(Line) ? "holds a control character" : "holds a character no element line holds";
    for (const std::size_t column : Blanks)
        if (Line[column - 1] != ' ')
            return "is not laid out as an element line";
    if (Line[ElementLineLength - 1] != '0' + ElementLineChecksum(Line))
        return "has a wrong checksum";
    for (const TField& field : Fields)
        if (!ReadsAs(FieldText(Line, field.Columns), field.Form))
            return std::string("holds no number for the ") + field.Name;
    return std::nullopt;
}

std::string FieldWord(std::string_view Line, TColumns Columns)
{
    return std::string(Trim(FieldText(Line, Columns)));
}

} // namespace

TElementSetScanner::TElementSetScanner(std::time_t TimeOfRun, std::size_t FirstLineNumber, TVisitor Visit)
    : RunJulian(UnixTimeToJulian(static_cast<double>(TimeOfRun))), FirstEpochJulian(EpochToJulian(FirstEpoch)),
      NextLine(FirstLineNumber), Visitor(std::move(Visit))
{
}

bool TElementSetScanner::Take(std::string_view Line)
{
    if (Stopped)
        return false;
    CurrentLine = NextLine++;
    CurrentIndex = Index++;
    const std::string_view trimmed = WithoutTrailingBlanks(Line);
    if (trimmed.empty())
        return true;
    LastLine = CurrentLine;
    const bool elementLike = LooksLikeElementLine(trimmed);
    ElementLines += elementLike ? 1 : 0;
    switch (Expect) {
    case TExpect::Name:
        StartSet(Line, trimmed, elementLike);
        break;
    case TExpect::Line1:
        if (trimmed.front() == '1') {
            TakeLine1(trimmed);
        } else {
            Damage(CurrentLine, "is not line 1 of a set");
            HandOn();
            if (!elementLike && !Stopped)
                StartSet(Line, trimmed, false);
        }
        break;
    case TExpect::Line2:
        if (trimmed.front() == '2') {
            TakeLine2(trimmed);
        } else {
            Damage(CurrentLine, "is not line 2 of a set");
            HandOn();
            if (!Stopped)
                StartSet(Line, trimmed, elementLike);
        }
        break;
    }
    return !Stopped;
}

void TElementSetScanner::Finish()
{
    if (Stopped || Expect == TExpect::Name)
        return;
    Damage(LastLine, "ends the answer inside a set");
    HandOn();
}

void TElementSetScanner::StartSet(std::string_view Line, std::string_view Trimmed, bool ElementLike)
{
    Set.State = TSetState::Sound;
    Set.Reason.clear();
    Set.FirstLine = CurrentLine;
    Set.FaultLine = 0;
    Set.Name = Line;
    Set.NameIndex = CurrentIndex;
    Set.Line1 = {};
    Set.Line2 = {};
    Expect = TExpect::Line1;
    if (ElementLike) {
        Damage(CurrentLine, "is an element line where a name line belongs");
        HandOn();
    } else if (Trimmed.size() > LongestNameLine) {
        Damage(CurrentLine, "is too long for a name line");
    } else if (HoldsControlCharacter(Trimmed)) {
        Damage(CurrentLine, "holds a control character");
    }
}

void TElementSetScanner::TakeLine1(std::string_view Line)
{
    Set.Line1 = Line;
    Set.Line1Index = CurrentIndex;
    Line1Number = CurrentLine;
    if (Set.State == TSetState::Sound)
        if (std::optional<std::string> fault = ElementLineFault(Line, Line1Fields, Line1Blanks))
            Damage(CurrentLine, std::move(*fault));
    Expect = TExpect::Line2;
}

void TElementSetScanner::TakeLine2(std::string_view Line)
{
    Set.Line2 = Line;
    Set.Line2Index = CurrentIndex;
    Line2Number = CurrentLine;
    if (Set.State == TSetState::Sound) {
        if (std::optional<std::string> fault = ElementLineFault(Line, Line2Fields, Line2Blanks))
            Damage(CurrentLine, std::move(*fault));
        else if (FieldText(Set.Line1, Line1::CatalogueNumber) != FieldText(Line, Line2::CatalogueNumber))
            Damage(CurrentLine, "carries another catalogue number than its line 1");
    }
    HandOn();
}

void TElementSetScanner::Damage(std::size_t Line, std::string Reason)
{
    if (Set.State == TSetState::Damaged)
        return;
    Set.State = TSetState::Damaged;
    Set.FaultLine = Line;
    Set.Reason = std::move(Reason);
}

void TElementSetScanner::HandOn()
{
    if (Set.State == TSetState::Sound)
        JudgeValues();
    Expect = TExpect::Name;
    if (!Visitor(Set))
        Stopped = true;
}

// Seven digits behind an implied point keep the eccentricity within [0, 1) already.
void TElementSetScanner::JudgeValues()
{
    const auto implausible = [this](std::size_t Line, std::string Reason) {
        Set.State = TSetState::Implausible;
        Set.FaultLine = Line;
        Set.Reason = std::move(Reason);
    };
    const double inclination = FieldDecimal(FieldText(Set.Line2, Line2::Inclination)).value_or(-1.0);
    const double meanMotion = FieldDecimal(FieldText(Set.Line2, Line2::MeanMotion)).value_or(0.0);
    const double epoch = FieldDecimal(FieldText(Set.Line1, Line1::Epoch)).value_or(0.0);
    const double epochJulian = EpochToJulian(epoch);
    if (!(inclination >= 0.0 && inclination <= LargestInclination))
        implausible(Line2Number, "inclination " + FieldWord(Set.Line2, Line2::Inclination) + " outside 0-180");
    else if (!(meanMotion > 0.0 && meanMotion < LargestMeanMotion))
        implausible(Line2Number, "mean motion " + FieldWord(Set.Line2, Line2::MeanMotion)
                                     + " not within 0-20 revolutions a day");
    else if (epochJulian > RunJulian + FutureEpochDays)
        implausible(Line1Number, "epoch " + FieldWord(Set.Line1, Line1::Epoch) + " more than a day after the run");
    else if (epochJulian < FirstEpochJulian)
        implausible(Line1Number, "epoch " + FieldWord(Set.Line1, Line1::Epoch) + " before 1957");
}

std::string FaultText(const TScannedSet& Set)
{
    const std::string line = "line " + std::to_string(Set.FaultLine);
    return Set.State == TSetState::Implausible ? line + ", " + Set.Reason : line + " " + Set.Reason;
}

std::vector<std::string> TGateReport::LogLines() const
{
    std::vector<std::string> lines;
    if (Implausible > 0)
        lines.push_back("      " + std::to_string(Implausible) + (Implausible == 1 ? " implausible set" : " implausible sets")
                        + " left out (first: " + FirstImplausible + ")");
    if (NotAsked > 0)
        lines.push_back("      " + std::to_string(NotAsked) + (NotAsked == 1 ? " set" : " sets")
                        + " not asked for left out (first: " + FirstNotAsked + ")");
    return lines;
}

namespace {

std::string SetsText(std::size_t Count)
{
    return std::to_string(Count) + (Count == 1 ? " set" : " sets");
}

// The tenth rule: a group that shrinks that much at once has lost its answer on the way.
constexpr std::size_t SmallestComparedFile = 20;

} // namespace

void RefuseShrunkGroup(std::size_t Kept, const TAnswerQuestion& Question)
{
    const std::size_t earlier = Question.EarlierSets.value_or(0);
    if (!Question.IsList && earlier >= SmallestComparedFile && Kept * 10 < earlier)
        throw EGroupFailed("the answer holds " + SetsText(Kept) + ", the earlier file " + std::to_string(earlier));
}

TGateReport PassGate(std::vector<std::string>& Lines, std::size_t FirstLineNumber, std::time_t TimeOfRun,
                     const TAnswerQuestion& Question)
{
    TGateReport report;
    std::vector<bool> keep(Lines.size(), false);
    std::optional<std::string> damage;
    TElementSetScanner scanner(TimeOfRun, FirstLineNumber, [&](const TScannedSet& Set) {
        if (Set.State == TSetState::Damaged) {
            damage = FaultText(Set);
            return false;
        }
        if (Set.State == TSetState::Implausible) {
            if (report.Implausible++ == 0)
                report.FirstImplausible = FaultText(Set);
            return true;
        }
        const std::string_view number = FieldText(Set.Line1, Line1::CatalogueNumber);
        if (Question.IsList && !Question.Numbers.contains(CatalogueNumberValue(number).value_or(-1))) {
            if (report.NotAsked++ == 0)
                report.FirstNotAsked = "line " + std::to_string(Set.FirstLine) + ", " + std::string(Trim(number));
            return true;
        }
        keep[Set.NameIndex] = keep[Set.Line1Index] = keep[Set.Line2Index] = true;
        ++report.Kept;
        return true;
    });
    for (const std::string& line : Lines)
        if (!scanner.Take(line))
            break;
    scanner.Finish();
    if (damage)
        throw EGroupFailed(scanner.ElementLinesSeen() == 0 ? "not element sets" : "damaged answer: " + *damage);
    if (report.Kept == 0 && report.Implausible > 0)
        throw EGroupFailed("no plausible set; first left out: " + report.FirstImplausible);
    if (report.Kept == 0 && report.NotAsked > 0)
        throw EGroupFailed("none of the numbers asked for");
    if (report.Kept == 0)
        throw EGroupFailed("not element sets");
    RefuseShrunkGroup(static_cast<std::size_t>(report.Kept), Question);
    std::size_t kept = 0;
    for (std::size_t i = 0; i < Lines.size(); ++i)
        if (keep[i] && kept++ != i)
            Lines[kept - 1] = std::move(Lines[i]);
    Lines.resize(kept);
    return report;
}

TVerifyCounts VerifyElementText(std::string_view Text, std::time_t TimeOfRun,
                                const std::function<void(const TScannedSet&)>& Fault)
{
    const std::string_view sets = AfterCommentLines(Text);
    TVerifyCounts counts;
    TElementSetScanner scanner(TimeOfRun, 1 + LineCount(Text) - LineCount(sets), [&](const TScannedSet& Set) {
        ++counts.Sets;
        if (Set.State != TSetState::Sound) {
            ++(Set.State == TSetState::Damaged ? counts.Damaged : counts.Implausible);
            Fault(Set);
        }
        return true;
    });
    for (TLineReader lines(sets); !lines.AtEnd();)
        scanner.Take(lines.Read());
    scanner.Finish();
    return counts;
}

} // namespace elsetry
