#include "download/DownloadExchange.h"

#include "platform/TextFile.h"

#include <algorithm>
#include <charconv>

namespace elsetry {

namespace {

std::string UpperCase(std::string_view Text)
{
    std::string upper(Text);
    std::transform(upper.begin(), upper.end(), upper.begin(),
                   [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; });
    return upper;
}

bool BlankAfterTrim(std::string_view Line)
{
    // Trimming takes away blanks and control characters alike.
    return std::all_of(Line.begin(), Line.end(), [](char c) { return static_cast<unsigned char>(c) <= ' '; });
}

bool UpperHolds(std::string_view Line, std::string_view Marker)
{
    return UpperCase(Line).find(Marker) != std::string::npos;
}

void DropFirstIf(std::vector<std::string>& Lines, bool (*Test)(std::string_view))
{
    if (!Lines.empty() && Test(Lines.front()))
        Lines.erase(Lines.begin());
}

} // namespace

std::vector<TFormField> LoginForm(const std::string& Username, const std::string& Password)
{
    return {{"username", Username}, {"password", Password}, {"_submitted", "1"}, {"_sessionid", ""},
            {"_submit", "Submit"}};
}

std::vector<TFormField> QueryForm(const std::vector<std::string>& Numbers)
{
    std::string ids;
    for (const std::string& number : Numbers) {
        if (!ids.empty())
            ids += ' ';
        ids += number;
    }
    return {{"_submitted", "\"1\""}, {"_sessionid", ""},  {"ids", ids},         {"timeframe", "latest"},
            {"common_name", "yes"},  {"sort", "catnum"}, {"ascii", "yes"},      {"_submit", "Submit"}};
}

bool HoldsRefreshMarker(std::string_view Answer)
{
    return UpperHolds(Answer, "'REFRESH'");
}

std::vector<std::string> SplitLines(std::string Text)
{
    const TTextLines lines(std::move(Text));
    return std::vector<std::string>(lines.lines().begin(), lines.lines().end());
}

void TrimPreformattedBlock(std::vector<std::string>& Lines)
{
    DropFirstIf(Lines, BlankAfterTrim);
    DropFirstIf(Lines, [](std::string_view Line) { return UpperHolds(Line, "<PRE>"); });
    DropFirstIf(Lines, [](std::string_view Line) { return UpperHolds(Line, "OBJECT"); });
    DropFirstIf(Lines, BlankAfterTrim);
    if (!Lines.empty() && UpperHolds(Lines.back(), "</PRE>"))
        Lines.pop_back();
}

std::optional<int> PortNumber(std::string_view Text)
{
    if (!Text.empty() && Text.front() == '+')
        Text.remove_prefix(1);
    int port = 0;
    const auto [end, error] = std::from_chars(Text.data(), Text.data() + Text.size(), port);
    if (Text.empty() || error != std::errc() || end != Text.data() + Text.size() || port < 0 || port > 65535)
        return std::nullopt;
    return port;
}

} // namespace elsetry
