// Reads arbitrary bytes as a JSON answer of element sets the ways a load and a save read one, and
// traps where they disagree:
// - the answer read in parts on several threads gives the lines of the answer read whole, and fails
//   where that reading fails, for the answer as it came and repeated into a list of many parts;
// - a JSON file written from the answer's own objects is JSON whole, and holds as many records as
//   the writer counted.

#include "elementfiles/ElementFileText.h"
#include "elements/OmmElementText.h"
#include "elements/OmmReaders.h"

#include <simdjson.h>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

using namespace elsetry;

namespace {

// Past a part's size several times, so that the parts' starts fall all over the input.
constexpr std::size_t RepeatedSize = 160 * 1024;

std::optional<TOmmElementText> ReadWhole(std::string_view Text)
{
    try {
        return OmmElementText(Text, TElementTextForm::OmmJson);
    } catch (const EOmmFormat&) {
        return std::nullopt;
    }
}

void ExpectPartsReadAsTheWhole(std::string_view Text)
{
    if (ElementTextFormOf(Text) != TElementTextForm::OmmJson)
        return;
    const std::optional<TOmmElementText> whole = ReadWhole(Text);
    for (const unsigned threads : {1u, 2u}) {
        std::optional<TOmmElementSets> sets;
        try {
            sets = OmmElementSets(Text, TElementTextForm::OmmJson, threads);
        } catch (const EOmmFormat&) {
        }
        if (whole.has_value() != sets.has_value())
            __builtin_trap();
        if (whole
            && (sets->Lines() != whole->Lines || sets->SkippedUnreadable != whole->SkippedUnreadable
                || sets->SkippedUnwritable != whole->SkippedUnwritable))
            __builtin_trap();
    }
}

// The input's list repeated, its objects between brackets, into a list of many parts.
std::string Repeated(std::string_view Text)
{
    const std::size_t open = Text.find('[');
    const std::size_t close = Text.rfind(']');
    if (open == std::string_view::npos || close == std::string_view::npos || close <= open + 1)
        return {};
    const std::string_view objects = Text.substr(open + 1, close - open - 1);
    std::string list = "[";
    list.reserve(RepeatedSize + Text.size());
    while (list.size() < RepeatedSize)
        list.append(objects).append(",\n");
    list.append(objects).append("]");
    return list;
}

std::vector<std::string> LinesOf(const std::string& Text)
{
    std::vector<std::string> lines;
    for (std::size_t at = 0; at < Text.size();) {
        const std::size_t end = Text.find('\n', at);
        lines.push_back(Text.substr(at, end - at));
        at = end + 1;
    }
    return lines;
}

void ExpectWrittenFileIsJson(std::string_view Text)
{
    const std::optional<TOmmElementText> whole = ReadWhole(Text);
    if (!whole)
        return;
    TFileWriting writing;
    writing.Options.Form = TFileForm::Json;
    writing.LineEnds = TLineEnds::Lf;
    writing.OmmText = std::string(Text);
    TFileText file;
    try {
        file = ElementFileText(LinesOf(whole->Lines), writing, 1765000000);
    } catch (const EOmmFormat&) {
        return; // an object that is not JSON whole fails the answer
    }
    simdjson::dom::parser checker;
    simdjson::dom::element element;
    if (checker.parse(file.Text).get(element))
        __builtin_trap();
    std::size_t records = 0;
    try {
        ReadOmmJsonRecords(file.Text, [&records](const TOmmRecord&) { ++records; });
    } catch (const EOmmFormat&) {
        __builtin_trap();
    }
    if (records != static_cast<std::size_t>(file.Records))
        __builtin_trap();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size)
{
    const std::string_view text(reinterpret_cast<const char*>(Data), Size);
    ExpectPartsReadAsTheWhole(text);
    ExpectPartsReadAsTheWhole(Repeated(text));
    ExpectWrittenFileIsJson(text);
    return 0;
}
