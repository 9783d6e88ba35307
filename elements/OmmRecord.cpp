#include "elements/OmmRecord.h"

#include "elements/OmmFields.h"
#include "text/Strings.h"

namespace elsetry {

namespace {

constexpr std::string_view ByteOrderMark = "\xEF\xBB\xBF";

bool IsBlank(char C)
{
    return C == ' ' || C == '\t' || C == '\r' || C == '\n';
}

std::string_view SkipBlanks(std::string_view Text)
{
    std::size_t n = 0;
    while (n < Text.size() && IsBlank(Text[n]))
        ++n;
    return Text.substr(n);
}

// A JSON text opens a list of objects (or an empty list) or one object. A name line that begins
// with "[" ("[+] NAME") opens neither.
bool OpensJson(std::string_view Text)
{
    if (Text.starts_with('{'))
        return true;
    if (!Text.starts_with('['))
        return false;
    const std::string_view inside = SkipBlanks(Text.substr(1));
    return inside.starts_with('{') || inside.starts_with(']');
}

bool NamesCsvFields(std::string_view Text)
{
    const std::string_view header = Text.substr(0, Text.find_first_of("\r\n"));
    const std::string upper = UpperCase(header);
    return upper.find(',') != std::string::npos && upper.find("OBJECT_NAME") != std::string::npos
           && upper.find("NORAD_CAT_ID") != std::string::npos;
}

} // namespace

TElementTextForm ElementTextFormOf(std::string_view Text)
{
    if (Text.starts_with(ByteOrderMark))
        Text.remove_prefix(ByteOrderMark.size());
    Text = SkipBlanks(Text);
    if (OpensJson(Text))
        return TElementTextForm::OmmJson;
    if (NamesCsvFields(Text))
        return TElementTextForm::OmmCsv;
    return TElementTextForm::ElementLines;
}

std::optional<std::size_t> OmmFieldIndex(std::string_view Name)
{
    // The services write the names in capitals, which the first look finds.
    for (std::size_t i = 0; i < OmmFields.size(); ++i)
        if (OmmFields[i].Name == Name)
            return i;
    for (std::size_t i = 0; i < OmmFields.size(); ++i)
        if (SameText(OmmFields[i].Name, Name))
            return i;
    return std::nullopt;
}

} // namespace elsetry
