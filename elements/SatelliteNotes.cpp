#include "elements/SatelliteList.h"

#include "orbit/EpochTime.h"
#include "platform/TextFile.h"
#include "text/Calendar.h"
#include "text/CatalogueNumber.h"
#include "text/Numbers.h"
#include "text/Strings.h"

#include <optional>

namespace elsetry {

namespace {

constexpr std::size_t MaxPart = 999;
constexpr std::string_view LdPrefix = "LD=";

// The parts of one notes line after its catalogue number.
struct TNotesLine {
    std::string_view Value;
    std::string_view Signed;
    std::string_view Text;
    std::string Date;
};

std::string_view Before(std::string_view Text, std::size_t Position)
{
    return Text.substr(0, Position);
}

std::string_view FromOn(std::string_view Text, std::size_t Position)
{
    return Position < Text.size() ? Text.substr(Position, MaxPart) : std::string_view();
}

bool IsSigned(std::string_view Text)
{
    return !Text.empty() && (Text.front() == '+' || Text.front() == '-');
}

// "LD=" at the start of the free text carries a date, with "@" before its time.
void SplitLdDate(TNotesLine& Line)
{
    if (UpperCase(Line.Text.substr(0, LdPrefix.size())) != LdPrefix)
        return;
    std::string_view date = FromOn(Line.Text, LdPrefix.size());
    if (date.empty())
        return;
    const std::size_t blank = date.find(' ');
    Line.Text = blank == std::string_view::npos ? std::string_view() : Trim(FromOn(date, blank));
    Line.Date = std::string(Before(date, blank));
    for (char& c : Line.Date)
        if (c == '@')
            c = ' ';
}

TNotesLine SplitRemainder(std::string_view Rest)
{
    TNotesLine line;
    const std::size_t blank = Rest.find(' ');
    if (blank == std::string_view::npos) {
        line.Value = Rest;
        return line;
    }
    line.Value = Before(Rest, blank);
    const std::string_view r = Trim(FromOn(Rest, blank));
    const std::size_t next = r.find(' ');
    if (next == std::string_view::npos) {
        (IsSigned(r) ? line.Signed : line.Text) = r;
    } else if (IsSigned(r)) {
        line.Signed = Before(r, next);
        line.Text = Trim(FromOn(r, next));
    } else {
        line.Text = r;
    }
    SplitLdDate(line);
    return line;
}

// Reads an unsigned whole number of 1 to MaxDigits digits at the front of Text and moves past it.
std::optional<int> TakeNumber(std::string_view& Text, std::size_t MaxDigits)
{
    std::size_t length = 0;
    while (length < Text.size() && IsDigit(Text[length]))
        ++length;
    if (length == 0 || length > MaxDigits)
        return std::nullopt;
    const std::optional<int> value = ReadInteger(Text.substr(0, length));
    Text.remove_prefix(length);
    return value;
}

bool TakeSeparator(std::string_view& Text, char Separator)
{
    if (Text.empty() || Text.front() != Separator)
        return false;
    Text.remove_prefix(1);
    return true;
}

std::optional<TDateTime> ReadCalendarDate(std::string_view& Text)
{
    const auto year = TakeNumber(Text, 4);
    if (!year || !TakeSeparator(Text, '/'))
        return std::nullopt;
    const auto month = TakeNumber(Text, 2);
    if (!month || *month < 1 || *month > 12 || !TakeSeparator(Text, '/'))
        return std::nullopt;
    const auto day = TakeNumber(Text, 2);
    if (!day || *day < 1 || *day > DaysInMonth(*year, *month))
        return std::nullopt;
    TDateTime date;
    date.Year = *year;
    date.Month = *month;
    date.Day = *day;
    return date;
}

bool ReadClockTime(std::string_view Text, TDateTime& Date)
{
    const auto hour = TakeNumber(Text, 2);
    if (!hour || *hour > 23 || !TakeSeparator(Text, ':'))
        return false;
    const auto minute = TakeNumber(Text, 2);
    if (!minute || *minute > 59)
        return false;
    std::optional<int> second = 0;
    if (TakeSeparator(Text, ':'))
        second = TakeNumber(Text, 2);
    if (!second || *second > 59 || !Text.empty())
        return false;
    Date.Hour = *hour;
    Date.Minute = *minute;
    Date.Second = *second;
    return true;
}

// year/month/day, optionally followed by blanks and hours:minutes[:seconds].
std::optional<TDateTime> ReadNotesDate(std::string_view Text)
{
    std::optional<TDateTime> date = ReadCalendarDate(Text);
    if (!date)
        return std::nullopt;
    const std::string_view time = Trim(Text);
    if (time.size() == Text.size() && !Text.empty())
        return std::nullopt; // something other than blanks follows the day
    if (!time.empty() && !ReadClockTime(time, *date))
        return std::nullopt;
    return date;
}

} // namespace

void TSatelliteList::ReadNotes(const std::string& FileName)
{
    const std::string path = FolderText + FileName;
    if (!FileExists(path))
        return;
    TTextLines lines;
    try {
        lines = ReadTextLines(path);
    } catch (const EFileError&) {
        return; // notes are optional; an unreadable file changes nothing
    }
    for (const std::string_view raw : lines.lines()) {
        std::string_view t = Trim(raw);
        if (const std::size_t comment = t.find(';'); comment != std::string_view::npos)
            t = Trim(Before(t, comment));
        if (t.empty())
            continue;
        const std::size_t blank = t.find(' ');
        const std::string_view number = blank == std::string_view::npos ? std::string_view() : Before(t, blank);
        // Lines start with a number in digits or in the letter form; any other line is a remark.
        if (!IsDigit(t.front()) && !CatalogueNumberValue(number))
            continue;
        const int k = IndexOfCatalogueNumber(number);
        if (k < 0)
            continue;
        const TNotesLine line = SplitRemainder(Trim(FromOn(t, blank)));
        TSatellite& s = *GetSatellite(k);
        s.Notes = Texts.Copy(line.Text);
        if (const auto frequency = ReadDecimal(line.Value))
            s.DownlinkFrequency = *frequency;
        if (const auto value = ReadDecimal(line.Signed))
            s.SignedValue = *value;
        if (const auto date = ReadNotesDate(line.Date))
            s.LdDateJulian = DateTimeToJulian(*date);
    }
}

} // namespace elsetry
