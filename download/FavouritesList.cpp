#include "download/FavouritesList.h"

#include "text/CatalogueNumber.h"
#include "text/Lines.h"
#include "text/Strings.h"

#include <algorithm>

namespace elsetry {

namespace {

bool IsLetterForm(std::string_view Number)
{
    return !Number.empty() && !(Number.front() >= '0' && Number.front() <= '9');
}

bool IsCatalogueNumber(std::string_view Text)
{
    const std::optional<int> number = CatalogueNumberValue(Text);
    return number && *number >= 1;
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
            numbers.push_back(IsLetterForm(number) ? UpperCase(number) : std::string(number));
    std::stable_sort(numbers.begin(), numbers.end(), TextLess);
    const auto same = [](const std::string& Left, const std::string& Right) { return !TextLess(Left, Right) && !TextLess(Right, Left); };
    numbers.erase(std::unique(numbers.begin(), numbers.end(), same), numbers.end());
    return numbers;
}

std::string QueryNumber(const std::string& Number)
{
    if (!IsLetterForm(Number))
        return Number;
    const std::optional<int> value = CatalogueNumberValue(Number);
    return value ? std::to_string(*value) : Number;
}

} // namespace elsetry
