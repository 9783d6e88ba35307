#include "download/ElementCheck.h"

#include "elements/SatelliteList.h"
#include "text/Strings.h"

#include <algorithm>

namespace elsetry {

namespace {

bool IsCommentLine(const std::string& Line)
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

int CompleteSetCount(const std::vector<std::string>& Lines)
{
    return static_cast<int>(Lines.size() / 3);
}

bool ReadsAsElementSets(const std::vector<std::string>& Lines, int LoadedSets)
{
    if (LoadedSets <= 0)
        return false;
    const auto nonBlank = std::count_if(Lines.begin(), Lines.end(),
                                        [](const std::string& Line) { return !Trim(Line).empty(); });
    return 2 * 3 * static_cast<std::ptrdiff_t>(LoadedSets) >= nonBlank;
}

std::vector<std::string> CountCheckLines(const std::vector<std::string>& Lines, const TSatelliteList& List)
{
    const int n = CompleteSetCount(Lines);
    const int m = List.Count();
    if (m == n)
        return {"      " + std::to_string(n) + " satellites"};
    std::vector<std::string> log{"      " + std::to_string(n) + " satellites, " + std::to_string(m) + " unique names"};
    int missing = 0;
    for (int set = 0; set < n; ++set) {
        const std::string_view name = Trim(Lines[static_cast<std::size_t>(set) * 3]);
        if (List.IndexOf(name) < 0 && ++missing <= MissingLinesShown)
            log.push_back("         Missing: " + EscapeControls(name));
    }
    if (missing > MissingLinesShown)
        log.push_back("         ... and " + std::to_string(missing - MissingLinesShown) + " more");
    return log;
}

} // namespace elsetry
