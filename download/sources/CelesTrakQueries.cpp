#include "download/sources/CelesTrakQueries.h"

#include "download/sources/RunStops.h"
#include "elements/OmmReaders.h"
#include "elements/OmmRecord.h"
#include "elements/OmmWriter.h"
#include "text/Strings.h"

#include <algorithm>
#include <charconv>
#include <optional>
#include <stdexcept>

namespace elsetry {

namespace {

constexpr std::size_t ReasonLength = 100;


std::optional<long> NumberOf(std::string_view Text)
{
    Text = Trim(Text);
    long number = 0;
    const auto [end, error] = std::from_chars(Text.data(), Text.data() + Text.size(), number);
    if (Text.empty() || error != std::errc() || end != Text.data() + Text.size())
        return std::nullopt;
    return number;
}

// Each record in turn, none kept: a record costs far more memory than its row.
void ReadRecords(std::string_view Csv, const TOmmRecordSink& Sink)
{
    try {
        ReadOmmCsvRecords(Csv, Sink);
    } catch (const EOmmFormat& Error) {
        throw EGroupFailed("not element sets: " + ShortenedText(Error.what(), ReasonLength));
    }
}

std::optional<std::array<std::string, 3>> LinesOf(const TOmmRecord& Record)
{
    try {
        return ElementLinesOf(Record, TZeroExponent::Plus);
    } catch (const EOmmFormat& Error) {
        throw EGroupFailed("not element sets: " + ShortenedText(Error.what(), ReasonLength));
    }
}

} // namespace

std::string CatalogueNumberQuery(long Number)
{
    return "CATNR=" + std::to_string(Number);
}

std::string GpTarget(std::string_view Query)
{
    return std::string(GpPhpPath) + "?" + std::string(Query) + "&FORMAT=CSV";
}

std::string GpUrl(std::string_view Address, std::string_view Query)
{
    return std::string(Address) + GpTarget(Query);
}

// CelesTrak breaks the sentence over lines where it likes, so the words are compared with every
// run of blanks and line breaks between them taken as one blank.
bool SaysNotUpdated(std::string_view Body)
{
    constexpr std::size_t Looked = 4096; // the answer is a few lines; element sets never hold the words
    std::string folded;
    for (const char c : Body.substr(0, Looked)) {
        const bool blank = c == ' ' || c == '\t' || c == '\r' || c == '\n';
        if (!blank)
            folded += c;
        else if (!folded.empty() && folded.back() != ' ')
            folded += ' ';
    }
    return LowerCase(folded).find("has not updated since your last successful download") != std::string::npos;
}

bool SaysNoData(std::string_view Body)
{
    return StartsWithIgnoringCase(Trim(Body), "No GP data found");
}

TCsvElementSets CsvElementSets(std::string_view Csv)
{
    TCsvElementSets sets;
    ReadRecords(Csv, [&sets](const TOmmRecord& Record) {
        std::optional<std::array<std::string, 3>> lines = LinesOf(Record);
        if (!lines) {
            ++sets.PastLargest;
            return;
        }
        const std::optional<long> number = NumberOf(Record.NoradCatId);
        if (!number)
            throw EGroupFailed("not element sets: a catalogue number reads \""
                               + ShortenedText(Record.NoradCatId, ReasonLength) + "\"");
        sets.Sets.push_back(std::move(*lines));
        sets.Numbers.push_back(*number);
    });
    return sets;
}

std::optional<std::string> CsvRowOfNumber(std::string_view Csv, long Number)
{
    std::optional<std::string> row;
    ReadRecords(Csv, [&](const TOmmRecord& Record) {
        if (!row && NumberOf(Record.NoradCatId) == Number && !LinesOf(Record))
            row = OmmCsvRow(Record, "");
    });
    return row;
}

} // namespace elsetry
