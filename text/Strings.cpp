#include "text/Strings.h"

#include <cstdint>
#include <cstring>

namespace elsetry {

std::string UpperCase(std::string_view Text)
{
    // Eight characters at a time: every element line of every loaded set passes through here.
    constexpr std::uint64_t ones = 0x0101010101010101ULL;
    constexpr std::uint64_t highBits = 0x8080808080808080ULL;
    std::string result(Text);
    std::size_t i = 0;
    for (; i + 8 <= result.size(); i += 8) {
        std::uint64_t word;
        std::memcpy(&word, result.data() + i, 8);
        const std::uint64_t low7 = word & ~highBits;
        const std::uint64_t atLeastA = low7 + ones * (0x80 - 'a');
        const std::uint64_t aboveZ = low7 + ones * (0x80 - 'z' - 1);
        const std::uint64_t lower = atLeastA & ~aboveZ & ~word & highBits;
        word ^= lower >> 2; // 0x80 >> 2 is the case bit 0x20
        std::memcpy(result.data() + i, &word, 8);
    }
    for (; i < result.size(); ++i)
        if (result[i] >= 'a' && result[i] <= 'z')
            result[i] = static_cast<char>(result[i] - 'a' + 'A');
    return result;
}

std::string_view Trim(std::string_view Text)
{
    const auto isSpace = [](char c) { return static_cast<unsigned char>(c) <= ' '; };
    while (!Text.empty() && isSpace(Text.front()))
        Text.remove_prefix(1);
    while (!Text.empty() && isSpace(Text.back()))
        Text.remove_suffix(1);
    return Text;
}

} // namespace elsetry
