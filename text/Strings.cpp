#include "text/Strings.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace elsetry {

namespace {

char FoldCase(char C)
{
    return (C >= 'A' && C <= 'Z') ? static_cast<char>(C - 'A' + 'a') : C;
}

constexpr std::uint64_t Ones = 0x0101010101010101ULL;
constexpr std::uint64_t HighBits = 0x8080808080808080ULL;

// The high bit of every byte of Word that is a letter a-z.
std::uint64_t LowerCaseLetters(std::uint64_t Word)
{
    const std::uint64_t low7 = Word & ~HighBits;
    const std::uint64_t atLeastA = low7 + Ones * (0x80 - 'a');
    const std::uint64_t aboveZ = low7 + Ones * (0x80 - 'z' - 1);
    return atLeastA & ~aboveZ & ~Word & HighBits;
}

bool IsLowerCaseLetter(char C)
{
    return C >= 'a' && C <= 'z';
}

} // namespace

// Both look at eight characters at a time: every element line of every loaded set passes
// through here.
std::string UpperCase(std::string_view Text)
{
    std::string result(Text);
    std::size_t i = 0;
    for (; i + 8 <= result.size(); i += 8) {
        std::uint64_t word;
        std::memcpy(&word, result.data() + i, 8);
        word ^= LowerCaseLetters(word) >> 2; // 0x80 >> 2 is the case bit 0x20
        std::memcpy(result.data() + i, &word, 8);
    }
    for (; i < result.size(); ++i)
        if (IsLowerCaseLetter(result[i]))
            result[i] = static_cast<char>(result[i] - 'a' + 'A');
    return result;
}

bool HasLowerCase(std::string_view Text)
{
    std::size_t i = 0;
    for (; i + 8 <= Text.size(); i += 8) {
        std::uint64_t word;
        std::memcpy(&word, Text.data() + i, 8);
        if (LowerCaseLetters(word) != 0)
            return true;
    }
    return std::any_of(Text.begin() + static_cast<std::ptrdiff_t>(i), Text.end(), IsLowerCaseLetter);
}

std::string LowerCase(std::string_view Text)
{
    std::string result(Text);
    std::transform(result.begin(), result.end(), result.begin(), FoldCase);
    return result;
}

int CompareText(std::string_view A, std::string_view B)
{
    const std::size_t common = std::min(A.size(), B.size());
    for (std::size_t i = 0; i < common; ++i) {
        const auto a = static_cast<unsigned char>(FoldCase(A[i]));
        const auto b = static_cast<unsigned char>(FoldCase(B[i]));
        if (a != b)
            return a < b ? -1 : 1;
    }
    return A.size() == B.size() ? 0 : (A.size() < B.size() ? -1 : 1);
}

bool SameText(std::string_view A, std::string_view B)
{
    return A.size() == B.size() && CompareText(A, B) == 0;
}

bool StartsWithIgnoringCase(std::string_view Text, std::string_view Prefix)
{
    return Text.size() >= Prefix.size() && SameText(Text.substr(0, Prefix.size()), Prefix);
}

bool EndsWithIgnoringCase(std::string_view Text, std::string_view Suffix)
{
    return Text.size() >= Suffix.size() && SameText(Text.substr(Text.size() - Suffix.size()), Suffix);
}

std::string EscapeControls(std::string_view Text)
{
    static constexpr char Hex[] = "0123456789abcdef";
    std::string shown;
    shown.reserve(Text.size());
    for (const char c : Text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '\\') {
            shown += "\\\\";
        } else if (byte < 32 || byte >= 127) {
            shown += "\\x";
            shown += Hex[byte >> 4];
            shown += Hex[byte & 15];
        } else {
            shown += c;
        }
    }
    return shown;
}

std::string ShortenedText(std::string_view Text, std::size_t Length)
{
    std::string shortened(Text.substr(0, Length));
    if (Text.size() > Length)
        shortened += "...";
    return shortened;
}

bool AllDigits(std::string_view Text)
{
    return !Text.empty() && std::all_of(Text.begin(), Text.end(), IsDigit);
}

} // namespace elsetry
