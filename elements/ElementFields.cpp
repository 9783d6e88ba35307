#include "elements/ElementFields.h"

#include <charconv>

namespace elsetry {

namespace {

std::string_view Columns(std::string_view Line, int Start, int Width)
{
    if (Start < 1 || Width <= 0 || static_cast<std::size_t>(Start) > Line.size())
        return {};
    return Line.substr(static_cast<std::size_t>(Start - 1), static_cast<std::size_t>(Width));
}

std::string FieldText(std::string_view Line, int Start, int Width)
{
    std::string text = BlanksToZeros(Columns(Line, Start, Width));
    return text.empty() ? std::string("0") : text;
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
    return ReadDecimal(FieldText(Line, Start, Width)).value_or(0.0);
}

int IntegerField(std::string_view Line, int Start, int Width)
{
    return ReadInteger(FieldText(Line, Start, Width)).value_or(0);
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
    std::string result(Text);
    for (char& c : result)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
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
