#include "elements/OmmElementText.h"

namespace elsetry {

namespace {

// A name line and two element lines with their line ends.
constexpr std::size_t SetTextLength = 24 + 2 * 70;

} // namespace

TOmmElementText OmmElementText(std::string_view Text, TElementTextForm Form)
{
    const std::vector<TOmmRecord> records = Form == TElementTextForm::OmmJson ? ReadOmmJson(Text) : ReadOmmCsv(Text);
    TOmmElementText result;
    result.Lines.reserve(records.size() * SetTextLength);
    for (const TOmmRecord& record : records) {
        std::optional<std::array<std::string, 3>> lines;
        try {
            lines = ElementLinesOf(record);
        } catch (const EOmmFormat&) {
            // A set that does not read is left out and counted, as the list drops an element set
            // whose lines do not decode; the file reads on.
            ++result.SkippedUnreadable;
            continue;
        }
        if (!lines) {
            ++result.SkippedUnwritable;
            continue;
        }
        for (const std::string& line : *lines)
            (result.Lines += line) += '\n';
        ++result.Sets;
    }
    return result;
}

} // namespace elsetry
