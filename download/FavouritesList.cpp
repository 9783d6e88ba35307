#include "download/FavouritesList.h"

#include <algorithm>
#include <strings.h>

namespace elsetry {

namespace {

constexpr long LargestCatalogueNumber = 99999;

std::string_view Trimmed(std::string_view Text)
{
    const auto blank = [](char C) { return static_cast<unsigned char>(C) <= ' '; };
    while (!Text.empty() && blank(Text.front()))
        Text.remove_prefix(1);
    while (!Text.empty() && blank(Text.back()))
        Text.remove_suffix(1);
    return Text;
}

bool IsCatalogueNumber(std::string_view Text)
{
    if (Text.empty())
        return false;
    long number = 0;
    for (const char c : Text) {
        if (c < '0' || c > '9')
            return false;
        number = number * 10 + (c - '0');
        if (number > LargestCatalogueNumber)
            return false;
    }
    return number >= 1;
}

bool TextLess(const std::string& Left, const std::string& Right)
{
    return ::strcasecmp(Left.c_str(), Right.c_str()) < 0;
}

} // namespace

std::vector<std::string> MemoLines(std::string_view Text)
{
    std::vector<std::string> lines;
    while (!Text.empty()) {
        const std::size_t end = Text.find_first_of("\r\n");
        lines.emplace_back(Text.substr(0, end));
        if (end == std::string_view::npos)
            break;
        const bool crLf = Text[end] == '\r' && end + 1 < Text.size() && Text[end + 1] == '\n';
        Text.remove_prefix(end + (crLf ? 2 : 1));
    }
    return lines;
}

std::string MemoText(const std::vector<std::string>& Lines)
{
    std::string text;
    for (std::size_t index = 0; index < Lines.size(); ++index)
        text += (index == 0 ? "" : "\n") + Lines[index];
    return text;
}

std::vector<std::string> CleanFavourites(const std::vector<std::string>& Lines)
{
    std::vector<std::string> numbers;
    for (const std::string& line : Lines)
        if (const std::string_view number = Trimmed(line); IsCatalogueNumber(number))
            numbers.emplace_back(number);
    std::stable_sort(numbers.begin(), numbers.end(), TextLess);
    const auto same = [](const std::string& Left, const std::string& Right) { return !TextLess(Left, Right) && !TextLess(Right, Left); };
    numbers.erase(std::unique(numbers.begin(), numbers.end(), same), numbers.end());
    return numbers;
}

} // namespace elsetry
