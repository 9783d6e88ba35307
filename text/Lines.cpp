#include "text/Lines.h"

#include <bit>
#include <cstdint>
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

constexpr std::uint64_t Ones = 0x0101010101010101ULL;

// The high bit of each byte of Word that equals Byte, and no other bit.
std::uint64_t BytesEqual(std::uint64_t Word, char Byte)
{
    constexpr std::uint64_t low7 = 0x7F7F7F7F7F7F7F7FULL;
    const std::uint64_t x = Word ^ (Ones * static_cast<unsigned char>(Byte));
    return ~(((x & low7) + low7) | x | low7);
}

} // namespace

// A line ends at every CR and at every LF that does not follow a CR. Files of a hundred thousand
// sets are counted eight bytes at a time, in byte counters that are added up before they can
// overflow.
std::size_t LineCount(std::string_view Text)
{
    static_assert(std::endian::native == std::endian::little, "the byte masks shift towards later bytes");
    constexpr int wordsPerSum = 31; // at most 31 in a byte counter, 248 in their sum
    const char* const text = Text.data();
    std::size_t ends = 0;
    std::size_t i = 0;
    std::uint64_t crAtEnd = 0;
    while (i + 8 <= Text.size()) {
        std::uint64_t counters = 0;
        for (int k = 0; k < wordsPerSum && i + 8 <= Text.size(); ++k, i += 8) {
            std::uint64_t word;
            std::memcpy(&word, text + i, 8);
            const std::uint64_t cr = BytesEqual(word, '\r');
            const std::uint64_t lf = BytesEqual(word, '\n');
            const std::uint64_t lfAfterCr = ((cr << 8) | crAtEnd) & lf;
            crAtEnd = cr >> 56;
            counters += ((cr | lf) & ~lfAfterCr) >> 7;
        }
        ends += static_cast<std::size_t>((counters * Ones) >> 56);
    }
    for (; i < Text.size(); ++i)
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
