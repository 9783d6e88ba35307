#include "text/Numbers.h"

#include <charconv>

namespace elsetry {

namespace {

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

} // namespace elsetry
