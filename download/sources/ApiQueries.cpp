#include "download/sources/ApiQueries.h"

#include "elementfiles/AnswerGate.h"
#include "download/sources/RunStops.h"
#include "elements/ElementColumns.h"
#include "elements/OmmReaders.h"
#include "elements/OmmRecord.h"
#include "text/CatalogueNumber.h"
#include "text/Lines.h"
#include "text/Strings.h"

#include <algorithm>
#include <array>
#include <ctime>
#include <iterator>
#include <map>
#include <optional>
#include <stdexcept>

namespace elsetry {

namespace {

constexpr std::string_view Order = "/orderby/norad_cat_id asc/format/";
constexpr std::size_t ErrorTextLength = 80;
constexpr std::size_t ReasonLength = 100;
// An error answer names its error within its first bytes; element sets never hold the word.
constexpr std::size_t ErrorLooked = 4096;

bool KeptInPath(char C)
{
    const bool letter = (C >= 'A' && C <= 'Z') || (C >= 'a' && C <= 'z');
    const bool digit = C >= '0' && C <= '9';
    return letter || digit || C == '/' || C == '-' || C == '.' || C == '_' || C == '~';
}

std::string_view TrimmedStart(std::string_view Text)
{
    const std::size_t first = Text.find_first_not_of(" \t\r\n");
    return first == std::string_view::npos ? std::string_view() : Text.substr(first);
}

[[noreturn]] void RefuseErrorAnswer(std::string_view Start)
{
    throw EGroupFailed("an error answer: " + EscapeControls(ShortenedText(Start, ErrorTextLength)));
}

// A JSON or HTML answer where element lines or CSV were asked for says why in its own words.
void RefuseNonElementAnswer(std::string_view Body)
{
    const std::string_view start = TrimmedStart(Body);
    if (start.empty())
        return;
    if (start.front() == '{' || start.front() == '[')
        RefuseErrorAnswer(start);
    if (start.front() == '<')
        throw EGroupFailed("an HTML page, not element sets");
}

// A JSON answer that does not read as element sets may be the service's error list.
[[noreturn]] void RefuseUnreadOmm(std::string_view Body, TOmmKind Kind, const EOmmFormat& Error)
{
    const std::string_view start = TrimmedStart(Body);
    if (Kind == TOmmKind::Json && start.substr(0, ErrorLooked).find("\"error\"") != std::string_view::npos)
        RefuseErrorAnswer(start);
    throw EGroupFailed("not element sets: " + ShortenedText(Error.what(), ReasonLength));
}

bool IsElementLine(std::string_view Line, char Number)
{
    return Line.size() >= MinimumElementLineLength && Line[0] == Number && Line[1] == ' ';
}

int NumberOfSet(const std::string& Line1Text)
{
    const std::string_view field =
        std::string_view(Line1Text).substr(Line1::CatalogueNumber.Start - 1, Line1::CatalogueNumber.Width);
    return CatalogueNumberValue(field).value_or(-1);
}

} // namespace

std::string GpQueryPath(std::string_view Filters, TOmmKind Format)
{
    const std::string_view format = Format == TOmmKind::Csv ? "csv" : Format == TOmmKind::Json ? "json" : "3le";
    return std::string(GpQueryPrefix) + std::string(Filters) + std::string(Order) + std::string(format);
}

std::vector<std::string> NumberListFilters(const std::vector<long>& Numbers)
{
    std::vector<std::string> filters;
    for (std::size_t first = 0; first < Numbers.size(); first += NumbersPerQuery) {
        std::string filter = "NORAD_CAT_ID/";
        const std::size_t end = std::min(Numbers.size(), first + NumbersPerQuery);
        for (std::size_t index = first; index < end; ++index)
            filter += (index == first ? "" : ",") + std::to_string(Numbers[index]);
        filters.push_back(std::move(filter));
    }
    return filters;
}

std::string EscapedPath(std::string_view Path)
{
    static constexpr char Hex[] = "0123456789ABCDEF";
    std::string escaped;
    for (const char c : Path) {
        if (KeptInPath(c)) {
            escaped += c;
            continue;
        }
        const auto byte = static_cast<unsigned char>(c);
        escaped += '%';
        escaped += Hex[byte >> 4];
        escaped += Hex[byte & 0x0F];
    }
    return escaped;
}

bool IsRateLimitAnswer(std::string_view Body)
{
    // The service says it in a short answer of its own; element sets never hold the words.
    return LowerCase(Body.substr(0, 4096)).find("violated your query rate limit") != std::string::npos;
}

namespace {

std::size_t NonBlankLineCount(std::string_view Text)
{
    std::size_t count = 0;
    for (TLineReader reader(Text); !reader.AtEnd();)
        count += TrimmedStart(reader.Read()).empty() ? 0U : 1U;
    return count;
}

// A 3le answer whose lines do not fall into sets fails with its first fault, named by its line in
// the answer as received, as the gate names the faults of every other answer.
[[noreturn]] void RefuseBrokenAnswer(std::string_view Body)
{
    std::optional<std::string> fault;
    TElementSetScanner scanner(std::time(nullptr), 1, [&](const TScannedSet& Set) {
        if (Set.State == TSetState::Damaged)
            fault = "damaged answer: " + FaultText(Set);
        return !fault;
    });
    for (TLineReader reader(Body); !reader.AtEnd() && scanner.Take(reader.Read());) {
    }
    if (!fault)
        scanner.Finish();
    throw EGroupFailed(fault.value_or("not element sets"));
}

} // namespace

std::vector<std::string> ThreeLineElementLines(std::string_view Body)
{
    RefuseNonElementAnswer(Body);
    // Read line by line, blank lines skipped as they come: an answer of nothing but line ends
    // costs no memory beyond its own.
    std::vector<std::string> sets;
    sets.reserve(NonBlankLineCount(Body));
    std::array<std::string_view, 3> set;
    std::size_t held = 0;
    for (TLineReader reader(Body); !reader.AtEnd();) {
        const std::string_view line = reader.Read();
        if (TrimmedStart(line).empty())
            continue;
        set[held++] = line;
        if (held < set.size())
            continue;
        held = 0;
        std::string_view name = set[0];
        if (IsElementLine(name, '1') || !IsElementLine(set[1], '1') || !IsElementLine(set[2], '2'))
            RefuseBrokenAnswer(Body);
        if (name.starts_with("0 "))
            name.remove_prefix(2);
        sets.emplace_back(name);
        sets.emplace_back(set[1]);
        sets.emplace_back(set[2]);
    }
    if (held != 0)
        RefuseBrokenAnswer(Body);
    return sets;
}

std::vector<std::string> OmmAnswerLines(std::string_view Body, TOmmKind Kind, std::size_t* PastElementLines)
{
    const std::string_view start = TrimmedStart(Body);
    if (start.empty())
        return {};
    if (Kind == TOmmKind::Csv)
        RefuseNonElementAnswer(Body);
    else if (start.front() == '<')
        throw EGroupFailed("an HTML page, not element sets");
    std::vector<std::string> lines;
    const TOmmRecordSink sink = [&lines, PastElementLines](const TOmmRecord& Record) {
        if (std::optional<std::array<std::string, 3>> set = ElementLinesOf(Record, TZeroExponent::Minus))
            lines.insert(lines.end(), std::make_move_iterator(set->begin()), std::make_move_iterator(set->end()));
        else if (PastElementLines)
            ++*PastElementLines;
    };
    try {
        if (Kind == TOmmKind::Csv)
            ReadOmmCsvRecords(Body, sink);
        else
            ReadOmmJsonRecords(Body, sink);
    } catch (const EOmmFormat& Error) {
        RefuseUnreadOmm(Body, Kind, Error);
    }
    return lines;
}

namespace {

// A JSON list's objects, or the one object an answer may be.
std::string_view ListItems(std::string_view Json)
{
    Json = Trim(Json);
    if (Json.size() >= 2 && Json.front() == '[' && Json.back() == ']')
        return Trim(Json.substr(1, Json.size() - 2));
    return Json;
}

void AppendJsonAnswer(std::string& Text, std::string_view Body)
{
    const std::string_view more = ListItems(Body);
    if (more.empty())
        return;
    const std::string_view held = ListItems(Text);
    if (held.empty()) {
        Text = "[" + std::string(more) + "]";
        return;
    }
    Text = "[" + std::string(held) + "," + std::string(more) + "]";
}

} // namespace

void AppendOmmAnswer(std::string& Text, std::string&& Body, TOmmKind Kind)
{
    if (Text.empty()) {
        Text = std::move(Body);
        return;
    }
    if (Kind == TOmmKind::Json) {
        AppendJsonAnswer(Text, Body);
        return;
    }
    std::string_view body = Body;
    // Each answer has its header line; the first stands for them all.
    const std::size_t header = body.find('\n');
    if (header == std::string_view::npos)
        return;
    body.remove_prefix(header + 1);
    if (!body.empty() && Text.back() != '\n')
        Text += "\r\n";
    Text.append(body);
}

std::vector<std::string> MergedSetLines(const std::vector<std::vector<std::string>>& Answers)
{
    std::map<int, std::size_t> firstOf; // catalogue number -> index in sets
    std::vector<const std::string*> sets;
    for (const std::vector<std::string>& answer : Answers)
        for (std::size_t first = 0; first + 2 < answer.size(); first += 3)
            if (firstOf.emplace(NumberOfSet(answer[first + 1]), sets.size()).second)
                sets.push_back(&answer[first]);
    std::vector<std::string> lines;
    lines.reserve(firstOf.size() * 3);
    for (const auto& [number, index] : firstOf)
        lines.insert(lines.end(), sets[index], sets[index] + 3);
    return lines;
}

} // namespace elsetry
