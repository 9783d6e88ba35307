#include "download/FavouritesList.h"

#include "text/Lines.h"
#include "text/Numbers.h"
#include "text/Strings.h"

#include <algorithm>

namespace elsetry {

namespace {

constexpr int LargestCatalogueNumber = 99999;

bool IsCatalogueNumber(std::string_view Text)
{
    // Digits alone: ReadInteger would take a sign too.
    if (!std::all_of(Text.begin(), Text.end(), [](char C) { return C >= '0' && C <= '9'; }))
        return false;
    const std::optional<int> number = ReadInteger(Text);
    return number && *number >= 1 && *number <= LargestCatalogueNumber;
}

bool TextLess(const std::string& Left, const std::string& Right)
{
    return CompareText(Left, Right) < 0;
}

} // namespace

std::vector<std::string> MemoLines(std::string_view Text)
{
    return LineCopies(SplitLines(Text));
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
        if (const std::string_view number = Trim(line); IsCatalogueNumber(number))
            numbers.emplace_back(number);
    std::stable_sort(numbers.begin(), numbers.end(), TextLess);
    const auto same = [](const std::string& Left, const std::string& Right) { return !TextLess(Left, Right) && !TextLess(Right, Left); };
    numbers.erase(std::unique(numbers.begin(), numbers.end(), same), numbers.end());
    return numbers;
}

} // namespace elsetry
