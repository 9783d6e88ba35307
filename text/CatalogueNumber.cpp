#include "text/CatalogueNumber.h"

#include "text/Strings.h"

#include <algorithm>

namespace elsetry {

namespace {

// The letters in the order of the ten-thousands they stand for, from 10 up.
constexpr std::string_view Alpha5Letters = "ABCDEFGHJKLMNPQRSTUVWXYZ";

std::optional<int> LetterValue(char Letter)
{
    const char upper = Letter >= 'a' && Letter <= 'z' ? static_cast<char>(Letter - 'a' + 'A') : Letter;
    const std::size_t position = Alpha5Letters.find(upper);
    if (position == std::string_view::npos)
        return std::nullopt;
    return static_cast<int>(position) + 10;
}

int DigitsValue(std::string_view Digits)
{
    int value = 0;
    for (const char digit : Digits)
        value = value * 10 + (digit - '0');
    return value;
}

std::optional<int> Alpha5Value(std::string_view Text)
{
    if (Text.size() != 5 || !std::all_of(Text.begin() + 1, Text.end(), IsDigit))
        return std::nullopt;
    const std::optional<int> tenThousands = LetterValue(Text.front());
    if (!tenThousands)
        return std::nullopt;
    return *tenThousands * 10000 + DigitsValue(Text.substr(1));
}

std::optional<int> DigitsNumberValue(std::string_view Text)
{
    const std::size_t first = Text.find_first_not_of(' ');
    if (first == std::string_view::npos)
        return std::nullopt;
    std::string_view digits = Text.substr(first);
    if (!std::all_of(digits.begin(), digits.end(), IsDigit))
        return std::nullopt;
    digits.remove_prefix(std::min(digits.find_first_not_of('0'), digits.size()));
    // More significant digits than the largest number has cannot be one.
    if (digits.size() > 6)
        return std::nullopt;
    const int value = DigitsValue(digits);
    if (value > LargestCatalogueNumber)
        return std::nullopt;
    return value;
}

} // namespace

std::optional<int> CatalogueNumberValue(std::string_view Text)
{
    if (!Text.empty() && !IsDigit(Text.front()) && Text.front() != ' ')
        return Alpha5Value(Text);
    return DigitsNumberValue(Text);
}

std::string Alpha5Text(int Number)
{
    if (Number < 0 || Number > LargestCatalogueNumber)
        return {};
    if (Number < FirstAlpha5Number) {
        std::string text = std::to_string(Number);
        return std::string(5 - text.size(), '0') + text;
    }
    const std::string digits = std::to_string(Number % 10000);
    return Alpha5Letters[static_cast<std::size_t>(Number / 10000 - 10)] + std::string(4 - digits.size(), '0') + digits;
}

} // namespace elsetry
