#include "text/Lines.h"

#include <cstring>

namespace elsetry {

std::string_view TLineReader::Read()
{
    if (Next == End)
        return {};
    const char* const start = Next;
    // memchr scans whole words at a time; a lone CR before the next LF also ends a line.
    const void* lf = std::memchr(start, '\n', static_cast<std::size_t>(End - start));
    const char* lineEnd = lf != nullptr ? static_cast<const char*>(lf) : End;
    if (const void* cr = std::memchr(start, '\r', static_cast<std::size_t>(lineEnd - start)))
        lineEnd = static_cast<const char*>(cr);
    Next = lineEnd;
    if (Next != End && *Next++ == '\r' && Next != End && *Next == '\n')
        ++Next;
    return {start, static_cast<std::size_t>(lineEnd - start)};
}

std::vector<std::string_view> SplitLines(std::string_view Text)
{
    std::vector<std::string_view> lines;
    for (TLineReader reader(Text); !reader.AtEnd();)
        lines.push_back(reader.Read());
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

namespace {

// Sixteen bytes compared at once; the compiler makes one vector instruction of each operation.
// A comparison gives -1 in each byte that matches; the counters are unsigned, so that they wrap.
typedef signed char TBytes __attribute__((vector_size(16)));
typedef unsigned char TCounters __attribute__((vector_size(16)));

TBytes BytesAt(const char* Text)
{
    TBytes bytes;
    std::memcpy(&bytes, Text, sizeof bytes);
    return bytes;
}

bool EndsLine(std::string_view Text, std::size_t I)
{
    return Text[I] == '\n' ? I == 0 || Text[I - 1] != '\r' : Text[I] == '\r';
}

} // namespace

// A line ends at every CR and at every LF that does not follow a CR. Files of a hundred thousand
// sets are counted sixteen bytes at a time, in byte counters that are added up before they can
// overflow.
std::size_t LineCount(std::string_view Text)
{
    constexpr std::size_t width = sizeof(TBytes);
    constexpr int blocksPerSum = 255;
    const char* const text = Text.data();
    std::size_t ends = Text.empty() ? 0 : EndsLine(Text, 0);
    std::size_t i = 1; // each block also looks at the byte before it
    while (i + width <= Text.size()) {
        TCounters counters = {};
        for (int k = 0; k < blocksPerSum && i + width <= Text.size(); ++k, i += width) {
            const TBytes bytes = BytesAt(text + i);
            const TBytes before = BytesAt(text + i - 1);
            const TBytes lineEnds = (bytes == '\r') | ((bytes == '\n') & (before != '\r'));
            counters -= __builtin_convertvector(lineEnds, TCounters);
        }
        for (std::size_t lane = 0; lane < width; ++lane)
            ends += counters[lane];
    }
    for (; i < Text.size(); ++i)
        ends += EndsLine(Text, i);
    const bool lastEnded = !Text.empty() && (Text.back() == '\n' || Text.back() == '\r');
    return ends + (Text.empty() || lastEnded ? 0 : 1);
}

std::vector<std::string> LineCopies(const std::vector<std::string_view>& Lines)
{
    return std::vector<std::string>(Lines.begin(), Lines.end());
}

} // namespace elsetry
