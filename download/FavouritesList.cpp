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

// The list's form of a number, case folded for comparison.
std::string ListedForm(std::string_view Number)
{
    return IsLetterForm(Number) ? UpperCase(Number) : std::string(Number);
}

constexpr std::size_t NoteExamples = 5;

// "\"a\", \"b\"" or, past the examples, "\"a\", ... and 3 more".
std::string Examples(const std::vector<std::string>& Texts)
{
    std::string text;
    for (std::size_t index = 0; index < Texts.size() && index < NoteExamples; ++index)
        text += (index == 0 ? "\"" : ", \"") + EscapeControls(Texts[index]) + "\"";
    if (Texts.size() > NoteExamples)
        text += " and " + std::to_string(Texts.size() - NoteExamples) + " more";
    return text;
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
            numbers.push_back(ListedForm(number));
    std::stable_sort(numbers.begin(), numbers.end(), TextLess);
    const auto same = [](const std::string& Left, const std::string& Right) { return !TextLess(Left, Right) && !TextLess(Right, Left); };
    numbers.erase(std::unique(numbers.begin(), numbers.end(), same), numbers.end());
    return numbers;
}

std::string DroppedFavouritesNote(const std::vector<std::string>& Lines)
{
    std::vector<std::string> refused;
    std::vector<std::string> repeated;
    std::vector<std::string> kept;
    for (const std::string& line : Lines) {
        const std::string_view number = Trim(line);
        if (number.empty())
            continue;
        if (!IsCatalogueNumber(number)) {
            refused.emplace_back(number);
            continue;
        }
        const std::string listed = ListedForm(number);
        const auto same = [&listed](const std::string& Other) { return CompareText(Other, listed) == 0; };
        if (std::find_if(kept.begin(), kept.end(), same) != kept.end()) {
            if (std::find_if(repeated.begin(), repeated.end(), same) == repeated.end())
                repeated.push_back(listed);
        } else {
            kept.push_back(listed);
        }
    }
    std::string note;
    if (!refused.empty())
        note = "Removed " + Examples(refused)
               + (refused.size() == 1 ? ": not a catalogue number" : ": not catalogue numbers")
               + " (1 to 339999, or E8493 and the like)";
    if (!repeated.empty())
        note += std::string(note.empty() ? "Removed" : "; removed") + " repeats of " + Examples(repeated);
    return note;
}

std::string QueryNumber(const std::string& Number)
{
    if (!IsLetterForm(Number))
        return Number;
    const std::optional<int> value = CatalogueNumberValue(Number);
    return value ? std::to_string(*value) : Number;
}

} // namespace elsetry
