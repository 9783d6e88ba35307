#include "elements/OmmElementText.h"

#include "elements/OmmReaders.h"

namespace elsetry {

TOmmElementText OmmElementText(std::string_view Text, TElementTextForm Form)
{
    TOmmElementText result;
    result.Lines.reserve(Text.size() / 2);
    const TOmmRecordSink addSet = [&result](const TOmmRecord& Record) {
        std::optional<std::array<std::string, 3>> lines;
        try {
            lines = ElementLinesOf(Record);
        } catch (const EOmmFormat&) {
            // A set that does not read is left out and counted, as the list drops an element set
            // whose lines do not decode; the file reads on.
            ++result.SkippedUnreadable;
            return;
        }
        if (!lines) {
            ++result.SkippedUnwritable;
            return;
        }
        for (const std::string& line : *lines)
            (result.Lines += line) += '\n';
        ++result.Sets;
    };
    if (Form == TElementTextForm::OmmJson)
        ReadOmmJsonRecords(Text, addSet);
    else
        ReadOmmCsvRecords(Text, addSet);
    return result;
}

} // namespace elsetry
