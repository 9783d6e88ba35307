#include "settings/CommaText.h"

namespace elsetry {

namespace {

constexpr char Quote = '"';

// Codes 1 to 32: the blank and the control characters. Bytes of multi-byte characters are not.
bool IsBlank(char C)
{
    const auto code = static_cast<unsigned char>(C);
    return code >= 1 && code <= 32;
}

bool NeedsQuotes(std::string_view Item)
{
    for (const char c : Item)
        if (IsBlank(c) || c == Quote || c == ',')
            return true;
    return false;
}

std::string Quoted(std::string_view Item)
{
    std::string text(1, Quote);
    for (const char c : Item) {
        text += c;
        if (c == Quote)
            text += Quote;
    }
    return text + Quote;
}

void SkipBlanks(std::string_view Text, std::size_t& Pos)
{
    while (Pos < Text.size() && IsBlank(Text[Pos]))
        ++Pos;
}

// From the opening quote at Pos; a doubled quote inside stands for one.
std::string ReadQuotedItem(std::string_view Text, std::size_t& Pos)
{
    std::string item;
    for (++Pos; Pos < Text.size(); ++Pos) {
        if (Text[Pos] != Quote) {
            item += Text[Pos];
        } else if (Pos + 1 < Text.size() && Text[Pos + 1] == Quote) {
            item += Quote;
            ++Pos;
        } else {
            ++Pos;
            break;
        }
    }
    return item;
}

std::string ReadPlainItem(std::string_view Text, std::size_t& Pos)
{
    const std::size_t start = Pos;
    while (Pos < Text.size() && !IsBlank(Text[Pos]) && Text[Pos] != ',')
        ++Pos;
    return std::string(Text.substr(start, Pos - start));
}

} // namespace

std::string CommaTextOf(const std::vector<std::string>& Items)
{
    if (Items.size() == 1 && Items.front().empty())
        return std::string(2, Quote);
    std::string text;
    for (std::size_t i = 0; i < Items.size(); ++i) {
        if (i > 0)
            text += ',';
        text += NeedsQuotes(Items[i]) ? Quoted(Items[i]) : Items[i];
    }
    return text;
}

std::vector<std::string> ReadCommaText(std::string_view Text)
{
    std::vector<std::string> items;
    std::size_t pos = 0;
    SkipBlanks(Text, pos);
    while (pos < Text.size()) {
        items.push_back(Text[pos] == Quote ? ReadQuotedItem(Text, pos) : ReadPlainItem(Text, pos));
        SkipBlanks(Text, pos);
        if (pos < Text.size() && Text[pos] == ',') {
            ++pos;
            SkipBlanks(Text, pos);
        }
    }
    return items;
}

} // namespace elsetry
