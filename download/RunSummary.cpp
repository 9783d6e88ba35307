#include "download/RunSummary.h"

#include "platform/RunClock.h"
#include "elementfiles/SetChanges.h"
#include "download/sources/FavouritesList.h"

#include "text/CatalogueNumber.h"
#include "text/Lines.h"
#include "text/Strings.h"

#include <set>

namespace elsetry {

namespace {

std::string SatellitesText(int Count)
{
    return std::to_string(Count) + (Count == 1 ? " satellite" : " satellites");
}

std::string ResultText(TFileResult Result)
{
    switch (Result) {
    case TFileResult::Saved:
        return "saved";
    case TFileResult::Unchanged:
        return "unchanged";
    case TFileResult::Skipped:
        return "skipped";
    case TFileResult::NotFetched:
        return "not fetched";
    case TFileResult::Failed:
        break;
    }
    return "failed";
}

std::string ChangesText(const std::optional<TSetChanges>& Changes)
{
    if (!Changes)
        return {};
    return " (" + std::to_string(Changes->Newer) + " newer, " + std::to_string(Changes->New) + " new, "
           + std::to_string(Changes->Gone) + " gone)";
}

std::string FileLine(const TFileReport& File)
{
    std::string line = "   " + EscapeControls(File.FileName) + ": " + ResultText(File.Result);
    if (File.Result == TFileResult::Saved)
        return line + ", " + SatellitesText(File.Satellites.value_or(0)) + ChangesText(File.Changes);
    line += " (" + EscapeControls(File.Reason) + ")";
    if (File.Satellites)
        line += ", " + SatellitesText(*File.Satellites) + " kept";
    else if (File.Result != TFileResult::Unchanged)
        line += ", no file was written";
    return line;
}

std::string Joined(const std::vector<std::string>& Items)
{
    std::string text;
    for (const std::string& item : Items)
        text += (text.empty() ? "" : ", ") + EscapeControls(item);
    return text;
}

} // namespace

std::vector<std::string> SummaryLines(const TRunSummary& Summary)
{
    std::vector<std::string> lines{"Run of " + DateTimeText(std::chrono::system_clock::from_time_t(Summary.Time))
                                   + " into " + EscapeControls(Summary.Folder)};
    for (const TFileReport& file : Summary.Files)
        lines.push_back(FileLine(file));
    if (Summary.Files.empty())
        lines.push_back("   No file was downloaded");
    if (!Summary.NotFound.empty())
        lines.push_back("   Not found: " + Joined(Summary.NotFound));
    return lines;
}

// Element lines carry the number in columns 3-7 of their first line.
std::vector<std::string> NumbersNotFound(const std::vector<std::string>& Numbers, std::string_view Text,
                                         const std::vector<long>& PastElementLines)
{
    std::set<long> carried(PastElementLines.begin(), PastElementLines.end());
    for (TLineReader lines(Text); !lines.AtEnd();)
        if (const std::string_view line = lines.Read(); line.size() >= 7 && line.starts_with("1 "))
            if (const auto number = CatalogueNumberValue(line.substr(2, 5)))
                carried.insert(*number);
    std::set<long> missing;
    for (const std::string& number : Numbers)
        if (const auto value = ListNumberValue(Trim(number)); value && !carried.contains(*value))
            missing.insert(*value);
    std::vector<std::string> named;
    for (const long value : missing)
        named.push_back(std::to_string(value));
    return named;
}

} // namespace elsetry
