#include "download/sources/DownloadExchange.h"

#include "download/sources/FavouritesList.h"
#include "text/Numbers.h"
#include "text/Strings.h"

namespace elsetry {

namespace {

bool BlankAfterTrim(std::string_view Line)
{
    return Trim(Line).empty();
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
        ids += QueryNumber(number);
    }
    return {{"_submitted", "\"1\""}, {"_sessionid", ""},  {"ids", ids},         {"timeframe", "latest"},
            {"common_name", "yes"},  {"sort", "catnum"}, {"ascii", "yes"},      {"_submit", "Submit"}};
}

bool HoldsRefreshMarker(std::string_view Answer)
{
    return UpperHolds(Answer, "'REFRESH'");
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
    // A whole number as ReadInteger reads it, limited to the range of TCP ports.
    const std::optional<int> port = ReadInteger(Text);
    if (!port || *port < 0 || *port > 65535)
        return std::nullopt;
    return port;
}

} // namespace elsetry
