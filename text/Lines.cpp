#include "text/Lines.h"

#include <cstring>

namespace elsetry {

std::vector<std::string_view> SplitLines(std::string_view Text)
{
    std::vector<std::string_view> lines;
    const char* p = Text.data();
    const char* const end = p + Text.size();
    while (p != end) {
        // memchr scans whole words at a time; a lone CR before the next LF also ends a line.
        const void* lf = std::memchr(p, '\n', static_cast<std::size_t>(end - p));
        const char* lineEnd = lf != nullptr ? static_cast<const char*>(lf) : end;
        if (const void* cr = std::memchr(p, '\r', static_cast<std::size_t>(lineEnd - p)))
            lineEnd = static_cast<const char*>(cr);
        lines.emplace_back(p, static_cast<std::size_t>(lineEnd - p));
        if (lineEnd == end)
            break;
        p = lineEnd + 1;
        if (*lineEnd == '\r' && p != end && *p == '\n')
            ++p;
    }
    return lines;
}

std::vector<std::string_view> SplitAtLineFeeds(std::string_view Text)
{
    std::vector<std::string_view> lines;
    while (!Text.empty()) {
        const std::size_t lf = Text.find('\n');
        std::string_view line = Text.substr(0, lf);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        lines.push_back(line);
        Text.remove_prefix(lf == std::string_view::npos ? Text.size() : lf + 1);
    }
    return lines;
}

std::size_t LineCount(std::string_view Text)
{
    std::size_t ends = 0;
    for (std::size_t i = 0; i < Text.size(); ++i)
        if (Text[i] == '\n' ? i == 0 || Text[i - 1] != '\r' : Text[i] == '\r')
            ++ends;
    const bool lastEnded = !Text.empty() && (Text.back() == '\n' || Text.back() == '\r');
    return ends + (Text.empty() || lastEnded ? 0 : 1);
}

std::vector<std::string> LineCopies(const std::vector<std::string_view>& Lines)
{
    return std::vector<std::string>(Lines.begin(), Lines.end());
}

} // namespace elsetry
