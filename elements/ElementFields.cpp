#include "elements/ElementFields.h"

#include <charconv>
#include <cstdint>
#include <cstring>

namespace elsetry {

namespace {

std::string_view Columns(std::string_view Line, int Start, int Width)
{
    if (Start < 1 || Width <= 0 || static_cast<std::size_t>(Start) > Line.size())
        return {};
    return Line.substr(static_cast<std::size_t>(Start - 1), static_cast<std::size_t>(Width));
}

// Reads the field with blanks as zeros and "0" for an empty field. Element fields are narrow,
// so a stack buffer serves and no string is built for every field of every set.
template <typename TReader>
auto ReadField(std::string_view Line, int Start, int Width, TReader Read)
{
    const std::string_view field = Columns(Line, Start, Width);
    if (field.empty())
        return Read("0");
    char buffer[32];
    if (field.size() > sizeof buffer)
        return Read(BlanksToZeros(field));
    for (std::size_t i = 0; i < field.size(); ++i)
        buffer[i] = field[i] == ' ' ? '0' : field[i];
    return Read(std::string_view(buffer, field.size()));
}

bool IsDigit(char C)
{
    return C >= '0' && C <= '9';
}

// from_chars takes neither a leading "+" nor, in our sense, "inf" and "nan": screen those first.
std::string_view WithoutPlus(std::string_view Text)
{
    if (!Text.empty() && Text.front() == '+' && Text.size() > 1 && Text[1] != '-' && Text[1] != '+')
        return Text.substr(1);
    return Text;
}

} // namespace

std::string BlanksToZeros(std::string_view Text)
{
    std::string result(Text);
    for (char& c : result)
        if (c == ' ')
            c = '0';
    return result;
}

std::optional<double> ReadDecimal(std::string_view Text)
{
    const std::string_view body = WithoutPlus(Text);
    const std::size_t first = (!body.empty() && body.front() == '-') ? 1 : 0;
    if (first >= body.size() || !(IsDigit(body[first]) || body[first] == '.'))
        return std::nullopt;
    double value = 0.0;
    const auto [end, error] = std::from_chars(body.data(), body.data() + body.size(), value);
    if (error != std::errc() || end != body.data() + body.size())
        return std::nullopt;
    return value;
}

std::optional<int> ReadInteger(std::string_view Text)
{
    const std::string_view body = WithoutPlus(Text);
    int value = 0;
    const auto [end, error] = std::from_chars(body.data(), body.data() + body.size(), value);
    if (body.empty() || error != std::errc() || end != body.data() + body.size())
        return std::nullopt;
    return value;
}

double RealField(std::string_view Line, int Start, int Width)
{
    return ReadField(Line, Start, Width, ReadDecimal).value_or(0.0);
}

int IntegerField(std::string_view Line, int Start, int Width)
{
    return ReadField(Line, Start, Width, ReadInteger).value_or(0);
}

std::string ThreeDigitText(int N)
{
    if (N < 0 || N > 999)
        return std::to_string(N);
    const char text[3] = {static_cast<char>('0' + N / 100), static_cast<char>('0' + N / 10 % 10),
                          static_cast<char>('0' + N % 10)};
    return std::string(text, 3);
}

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
