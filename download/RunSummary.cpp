#include "download/RunSummary.h"

#include "text/CatalogueNumber.h"
#include "text/Strings.h"

#include <set>

namespace elsetry {

namespace {

std::string FileLine(const TFileReport& File)
{
    const std::string name = "   " + EscapeControls(File.FileName) + ": ";
    switch (File.Result) {
    case TFileResult::Saved:
        return name + "saved, " + std::to_string(File.Satellites) + (File.Satellites == 1 ? " satellite" : " satellites");
    case TFileResult::Unchanged:
        return name + "unchanged (" + EscapeControls(File.Reason) + ")";
    case TFileResult::Skipped:
        return name + "skipped (" + EscapeControls(File.Reason) + ")";
    case TFileResult::Failed:
        break;
    }
    return name + "failed (" + EscapeControls(File.Reason) + ")";
}

std::string Joined(const std::vector<std::string>& Items)
{
    std::string text;
    for (const std::string& item : Items)
        text += (text.empty() ? "" : ", ") + EscapeControls(item);
    return text;
}

} // namespace

std::string UtcMinuteText(std::time_t Time)
{
    std::tm fields{};
    char text[64];
    if (!::gmtime_r(&Time, &fields) || std::strftime(text, sizeof text, "%Y-%m-%d %H:%M UTC", &fields) == 0)
        return {};
    return text;
}

std::vector<std::string> SummaryLines(const TRunSummary& Summary)
{
    const std::string time = UtcMinuteText(Summary.Time);
    std::vector<std::string> lines{"Run of " + (time.empty() ? std::string("an unknown time") : time) + " into "
                                   + EscapeControls(Summary.Folder)};
    for (const TFileReport& file : Summary.Files)
        lines.push_back(FileLine(file));
    if (Summary.Files.empty())
        lines.push_back("   No file was downloaded");
    if (!Summary.NotFound.empty())
        lines.push_back("   Not found: " + Joined(Summary.NotFound));
    return lines;
}

// Element lines carry the number in columns 3-7 of their first line.
std::vector<std::string> NumbersNotFound(const std::vector<std::string>& Numbers, const std::vector<std::string>& Lines)
{
    std::set<int> carried;
    for (const std::string& line : Lines)
        if (line.size() >= 7 && line.starts_with("1 "))
            if (const auto number = CatalogueNumberValue(std::string_view(line).substr(2, 5)))
                carried.insert(*number);
    std::vector<std::string> missing;
    for (const std::string& number : Numbers)
        if (const auto value = CatalogueNumberValue(Trim(number)); value && !carried.contains(*value))
            missing.push_back(number);
    return missing;
}

} // namespace elsetry
