#include "download/sources/FavouritesList.h"

#include "text/CatalogueNumber.h"
#include "text/Lines.h"
#include "text/Strings.h"

#include <algorithm>
#include <unordered_set>

namespace elsetry {

namespace {

bool IsLetterForm(std::string_view Number)
{
    return !Number.empty() && !(Number.front() >= '0' && Number.front() <= '9');
}

// The list's form of a number, case folded for comparison.
std::string ListedForm(std::string_view Number)
{
    return IsLetterForm(Number) ? UpperCase(Number) : std::string(Number);
}

constexpr std::size_t NoteExamples = 5;
constexpr std::size_t NumbersShown = 20;
// Catalogue numbers run to nine digits.
constexpr std::size_t LongestListNumber = 9;

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

// The entries of the lines: commas and blanks separate them.
std::vector<std::string_view> Entries(const std::vector<std::string>& Lines)
{
    std::vector<std::string_view> entries;
    for (const std::string& line : Lines) {
        const std::string_view text(line);
        for (std::size_t start = 0; start < text.size();) {
            const std::size_t end = std::min(text.find_first_of(" \t,", start), text.size());
            if (end > start)
                entries.push_back(text.substr(start, end - start));
            start = end + 1;
        }
    }
    return entries;
}

struct TListed {
    long Value;
    std::string Form;
};

// The catalogue numbers of the entries, one per satellite in the form met first, in the
// entries' order; Repeats and Refused collect what is left out.
std::vector<TListed> ListedNumbers(const std::vector<std::string>& Lines, std::vector<std::string>* Refused = nullptr,
                                   std::vector<std::string>* Repeated = nullptr)
{
    std::vector<TListed> listed;
    for (const std::string_view entry : Entries(Lines)) {
        const std::optional<long> value = ListNumberValue(entry);
        if (!value) {
            if (Refused)
                Refused->emplace_back(entry);
            continue;
        }
        const auto same = [&value](const TListed& Other) { return Other.Value == *value; };
        if (const auto kept = std::find_if(listed.begin(), listed.end(), same); kept != listed.end()) {
            if (Repeated && std::find(Repeated->begin(), Repeated->end(), kept->Form) == Repeated->end())
                Repeated->push_back(kept->Form);
            continue;
        }
        listed.push_back({*value, ListedForm(entry)});
    }
    return listed;
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
    std::vector<TListed> listed = ListedNumbers(Lines);
    std::stable_sort(listed.begin(), listed.end(),
                     [](const TListed& Left, const TListed& Right) { return Left.Value < Right.Value; });
    std::vector<std::string> numbers;
    numbers.reserve(listed.size());
    for (TListed& number : listed)
        numbers.push_back(std::move(number.Form));
    return numbers;
}

std::string DroppedFavouritesNote(const std::vector<std::string>& Lines)
{
    std::vector<std::string> refused;
    std::vector<std::string> repeated;
    ListedNumbers(Lines, &refused, &repeated);
    std::string note;
    if (!refused.empty())
        note = "Removed " + Examples(refused)
               + (refused.size() == 1 ? ": not a catalogue number" : ": not catalogue numbers")
               + " (1 to 999999999, or E8493 and the like)";
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

std::optional<long> ListNumberValue(std::string_view Number)
{
    std::optional<long> value;
    if (const std::optional<int> lineValue = CatalogueNumberValue(Number)) {
        value = *lineValue;
    } else if (!Number.empty() && AllDigits(Number)) {
        Number.remove_prefix(std::min(Number.find_first_not_of('0'), Number.size()));
        if (Number.size() > LongestListNumber)
            return std::nullopt;
        value = 0;
        for (const char digit : Number)
            *value = *value * 10 + (digit - '0');
    }
    if (!value || *value < 1)
        return std::nullopt;
    return value;
}

TListNumbers ListNumbers(const std::vector<std::string>& Numbers)
{
    TListNumbers numbers;
    std::unordered_set<long> seen;
    for (const std::string& entry : Numbers)
        if (const std::optional<long> value = ListNumberValue(Trim(entry)); value && seen.insert(*value).second)
            (*value > LargestCatalogueNumber ? numbers.PastElementLines : numbers.Writable).push_back(*value);
    return numbers;
}

std::string NumbersText(const std::vector<long>& Numbers)
{
    std::string text;
    for (std::size_t index = 0; index < Numbers.size() && index < NumbersShown; ++index)
        text += (index == 0 ? "" : ", ") + std::to_string(Numbers[index]);
    if (Numbers.size() > NumbersShown)
        text += " and " + std::to_string(Numbers.size() - NumbersShown) + " more";
    return text;
}

std::string PastElementLinesNote(const std::vector<long>& Numbers)
{
    return "   Individual list: " + NumbersText(Numbers) + " left out (element lines hold numbers up to "
           + std::to_string(LargestCatalogueNumber) + ")";
}

} // namespace elsetry
