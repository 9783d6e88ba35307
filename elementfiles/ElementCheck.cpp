#include "elementfiles/ElementCheck.h"

#include "elements/ListEntries.h"
#include "elements/SatelliteList.h"
#include "text/Lines.h"
#include "text/Strings.h"

#include <algorithm>

namespace elsetry {

namespace {

bool IsCommentLine(std::string_view Line)
{
    return !Line.empty() && Line.front() == '#';
}

} // namespace

void RemoveCommentLines(std::vector<std::string>& Lines)
{
    if (Lines.size() <= 2)
        return;
    for (int removed = 0; removed < 2 && !Lines.empty() && IsCommentLine(Lines.front()); ++removed)
        Lines.erase(Lines.begin());
}

std::string_view AfterCommentLines(std::string_view Text)
{
    TLineReader lines(Text);
    for (int line = 0; line < 3; ++line)
        lines.Read();
    if (lines.AtEnd() && LineCount(Text) <= 2)
        return Text;
    lines = TLineReader(Text);
    for (int removed = 0; removed < 2 && !lines.AtEnd() && IsCommentLine(lines.Rest()); ++removed)
        lines.Read();
    return lines.Rest();
}

int CompleteSetCount(const std::vector<std::string>& Lines)
{
    return static_cast<int>(Lines.size() / 3);
}

int CompleteSetCount(std::string_view Text)
{
    return static_cast<int>(LineCount(Text) / 3);
}

bool HoldsCompleteSet(std::string_view Text)
{
    TLineReader lines(Text);
    int read = 0;
    for (; read < 3 && !lines.AtEnd(); ++read)
        lines.Read();
    return read == 3;
}

bool ReadsAsElementSets(std::string_view Text, int LoadedSets)
{
    if (LoadedSets <= 0)
        return false;
    std::size_t nonBlank = 0;
    for (TLineReader lines(Text); !lines.AtEnd();)
        nonBlank += Trim(lines.Read()).empty() ? 0U : 1U;
    return 2 * 3 * static_cast<std::size_t>(LoadedSets) >= nonBlank;
}

namespace {

// Entries is the count of the list's entries; Holds tells whether the list holds a name.
template <typename THolds>
std::vector<std::string> CountLines(const std::vector<std::string_view>& Runs, int Entries, const THolds& Holds)
{
    int n = 0;
    for (const std::string_view run : Runs)
        n += CompleteSetCount(run);
    const int m = Entries;
    if (m == n)
        return {"      " + std::to_string(n) + " satellites"};
    std::vector<std::string> log{"      " + std::to_string(n) + " satellites, " + std::to_string(m) + " unique names"};
    int missing = 0;
    int set = 0;
    for (const std::string_view run : Runs) {
        TLineReader lines(run);
        for (const int sets = set + CompleteSetCount(run); set < sets; ++set) {
            const std::string_view name = Trim(lines.Read());
            if (!Holds(name) && ++missing <= MissingLinesShown)
                log.push_back("         Missing: " + EscapeControls(name));
            lines.Read();
            lines.Read();
        }
    }
    if (missing > MissingLinesShown)
        log.push_back("         ... and " + std::to_string(missing - MissingLinesShown) + " more");
    return log;
}

} // namespace

std::vector<std::string> CountCheckLines(std::string_view Text, const TSatelliteList& List)
{
    return CountCheckLines(std::vector<std::string_view>{Text}, List);
}

std::vector<std::string> CountCheckLines(const std::vector<std::string_view>& Runs, const TSatelliteList& List)
{
    return CountLines(Runs, List.Count(), [&List](std::string_view Name) { return List.IndexOf(Name) >= 0; });
}

std::vector<std::string> CountCheckLines(std::string_view Text, const TListEntries& Entries)
{
    return CountLines({Text}, Entries.Count(), [&Entries](std::string_view Name) { return Entries.HoldsName(Name); });
}

} // namespace elsetry
