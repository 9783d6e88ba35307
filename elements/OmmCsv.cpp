// ReadOmmCsv: CSV records of element sets, read with libcsv.

#include "elements/CsvParser.h"
#include "elements/OmmFields.h"
#include "elements/OmmReaders.h"

#include "text/Strings.h"

#include <algorithm>
#include <array>
#include <exception>
#include <memory>
#include <new>
#include <utility>

namespace elsetry {

namespace {

constexpr std::string_view ByteOrderMark = "\xEF\xBB\xBF";

// Hands each row's record on while libcsv reads the text. Nothing may be thrown through libcsv's
// C frames, so the first fault, or what the sink raised, is only noted here and raised once
// parsing is over.
class TOmmCsvReader {
public:
    explicit TOmmCsvReader(const TOmmRecordSink& RecordSink) : Sink(RecordSink) {}
    // For rows after a header already read, whose columns these are.
    TOmmCsvReader(const TOmmRecordSink& RecordSink, std::vector<std::optional<std::size_t>> HeaderColumns)
        : Sink(RecordSink), Columns(std::move(HeaderColumns)), Row(1)
    {
    }

    std::string Fault;
    std::exception_ptr SinkFailure;

    void OnField(std::string_view Text)
    {
        if (!Fault.empty() || SinkFailure)
            return;
        if (Row == 0)
            AddColumn(Text);
        else if (Field < Columns.size() && Columns[Field])
            Current.*(OmmFields[*Columns[Field]].Member) = Text;
        ++Field;
    }

    void OnRowEnd()
    {
        if (!Fault.empty() || SinkFailure)
            return;
        ++Row;
        if (Row == 1)
            CheckHeader();
        else if (Field != Columns.size())
            Fault = RowName() + " has " + std::to_string(Field) + " fields, the header names "
                    + std::to_string(Columns.size());
        else
            HandOn();
        Field = 0;
    }

    // Counted from 1, the header being row 1.
    std::string RowName() const { return "row " + std::to_string(Row); }
    std::size_t RowsRead() const { return Row; }
    const std::vector<std::optional<std::size_t>>& HeaderColumns() const { return Columns; }
    bool ReadCleanly() const { return Fault.empty() && !SinkFailure; }

private:
    // Every row sets the same fields, so the record serves the next row as it is.
    void HandOn()
    {
        try {
            Sink(Current);
        } catch (...) {
            SinkFailure = std::current_exception();
        }
    }

    void AddColumn(std::string_view Name)
    {
        const std::optional<std::size_t> index = OmmFieldIndex(Name);
        if (index && Seen[*index])
            Fault = "the header names " + std::string(OmmFields[*index].Name) + " twice";
        if (index)
            Seen[*index] = true;
        Columns.push_back(index);
    }

    void CheckHeader()
    {
        for (std::size_t i = 0; i < OmmFields.size() && Fault.empty(); ++i)
            if (OmmFields[i].Required && !Seen[i])
                Fault = "the header does not name " + std::string(OmmFields[i].Name);
    }

    const TOmmRecordSink& Sink;
    std::vector<std::optional<std::size_t>> Columns; // the field each column holds, if any
    std::array<bool, OmmFields.size()> Seen{};
    TOmmRecord Current;
    std::size_t Field = 0;
    std::size_t Row = 0;
};

void SkipByteOrderMark(std::string_view& Text)
{
    if (Text.starts_with(ByteOrderMark))
        Text.remove_prefix(ByteOrderMark.size());
}

bool IsSpace(char C)
{
    return C == ' ' || C == '\t';
}

// Reads on from From, the start of a line outside quotes, to just past the end of a line outside
// quotes (CR or LF, as libcsv ends rows), noting in Starts whether a row begins at From: the
// line holds more than spaces and tabs. Quotes are counted in pairs, as they stand in a text that
// reads as CSV; where a stray one stands instead, libcsv finds the fault in the run that holds it.
std::size_t ScanLine(std::string_view Text, std::size_t From, std::vector<std::size_t>& Starts)
{
    bool quoted = false;
    bool rowBegun = false;
    for (std::size_t i = From; i < Text.size(); ++i) {
        const char c = Text[i];
        if (c == '"')
            quoted = !quoted;
        else if (quoted || IsSpace(c))
            continue;
        else if (c == '\r' || c == '\n')
            return i + 1;
        if (!rowBegun) {
            rowBegun = true;
            Starts.push_back(From);
        }
    }
    return Text.size();
}

// Where each row of the text begins, the header's first. Most lines hold no quote: they are
// taken whole.
std::vector<std::size_t> RowStarts(std::string_view Text)
{
    std::vector<std::size_t> starts;
    starts.reserve(Text.size() / 128 + 1);
    std::size_t from = 0;
    while (from < Text.size()) {
        const std::size_t newline = std::min(Text.find('\n', from), Text.size());
        std::string_view line = Text.substr(from, newline - from);
        if (line.ends_with('\r'))
            line.remove_suffix(1);
        if (line.find('"') != std::string_view::npos || line.find('\r') != std::string_view::npos) {
            from = ScanLine(Text, from, starts);
            continue;
        }
        if (line.find_first_not_of(" \t") != std::string_view::npos)
            starts.push_back(from);
        from = newline + 1;
    }
    return starts;
}

class TCsvRecordRuns : public TOmmRecordRuns {
public:
    TCsvRecordRuns(std::string_view CsvText, std::vector<std::size_t> RowStarts,
                   std::vector<std::optional<std::size_t>> HeaderColumns)
        : Text(CsvText), Starts(std::move(RowStarts)), Columns(std::move(HeaderColumns))
    {
    }

    std::size_t Count() const override { return Starts.size() - 1; }

    bool Read(std::size_t First, std::size_t End, const TOmmViewSink& Sink, unsigned) const override
    {
        const std::size_t from = Starts[First + 1];
        const std::size_t to = End + 1 < Starts.size() ? Starts[End + 1] : Text.size();
        const std::string_view run = Text.substr(from, to - from);
        if (run.find('"') == std::string_view::npos)
            return ReadUnquoted(First, End, Sink);
        const TOmmRecordSink viewed = [&Sink](const TOmmRecord& Record) { Sink(ViewOf(Record)); };
        TOmmCsvReader reader(viewed, Columns);
        TCsvParser<TOmmCsvReader> parser;
        const bool read = parser.Read(run, reader);
        if (reader.SinkFailure)
            std::rethrow_exception(reader.SinkFailure);
        return read && reader.ReadCleanly() && reader.RowsRead() == 1 + End - First;
    }

private:
    // Rows without quotes are split at their commas here, as libcsv splits them (spaces and tabs
    // around a field left out), and their fields viewed where they stand. False for a row of
    // another number of fields than the header's.
    bool ReadUnquoted(std::size_t First, std::size_t End, const TOmmViewSink& Sink) const
    {
        for (std::size_t record = First; record < End; ++record) {
            TOmmRecordView view;
            std::size_t field = 0;
            const char* fieldStart = Text.data() + Starts[record + 1];
            const char* const textEnd = Text.data() + Text.size();
            for (const char* c = fieldStart;; ++c) {
                while (c < textEnd && !EndsField[static_cast<unsigned char>(*c)])
                    ++c;
                if (field < Columns.size() && Columns[field])
                    FieldOf(view, OmmFields[*Columns[field]]) = WithoutSpaces(
                        {fieldStart, static_cast<std::size_t>(c - fieldStart)});
                ++field;
                fieldStart = c + 1;
                if (c == textEnd || *c != ',')
                    break;
            }
            if (field != Columns.size())
                return false;
            Sink(view);
        }
        return true;
    }

    // A comma, CR or LF, looked up for every character of the rows.
    static constexpr std::array<bool, 256> EndsField = [] {
        std::array<bool, 256> ends{};
        ends[','] = ends['\r'] = ends['\n'] = true;
        return ends;
    }();

    static std::string_view WithoutSpaces(std::string_view Field)
    {
        while (!Field.empty() && IsSpace(Field.front()))
            Field.remove_prefix(1);
        while (!Field.empty() && IsSpace(Field.back()))
            Field.remove_suffix(1);
        return Field;
    }

    std::string_view Text;
    std::vector<std::size_t> Starts; // of the header and of each record's row
    std::vector<std::optional<std::size_t>> Columns;
};

} // namespace

std::unique_ptr<TOmmRecordRuns> OmmCsvRecordRuns(std::string_view Text)
{
    SkipByteOrderMark(Text);
    std::vector<std::size_t> starts = RowStarts(Text);
    if (starts.empty())
        return nullptr;
    const TOmmRecordSink none = [](const TOmmRecord&) {};
    TOmmCsvReader header(none);
    TCsvParser<TOmmCsvReader> parser;
    const std::size_t headerEnd = starts.size() > 1 ? starts[1] : Text.size();
    if (!parser.Read(Text.substr(0, headerEnd), header) || !header.ReadCleanly() || header.RowsRead() != 1)
        return nullptr;
    return std::make_unique<TCsvRecordRuns>(Text, std::move(starts), header.HeaderColumns());
}

std::vector<std::string_view> OmmCsvRows(std::string_view Text)
{
    SkipByteOrderMark(Text);
    const std::vector<std::size_t> starts = RowStarts(Text);
    std::vector<std::string_view> rows;
    rows.reserve(starts.size());
    for (std::size_t row = 0; row < starts.size(); ++row) {
        const std::size_t end = row + 1 < starts.size() ? starts[row + 1] : Text.size();
        std::string_view text = Text.substr(starts[row], end - starts[row]);
        while (!text.empty() && (IsSpace(text.back()) || text.back() == '\r' || text.back() == '\n'))
            text.remove_suffix(1);
        rows.push_back(text);
    }
    return rows;
}

void ReadOmmCsvRecords(std::string_view Text, const TOmmRecordSink& Sink)
{
    SkipByteOrderMark(Text);
    TOmmCsvReader reader(Sink);
    TCsvParser<TOmmCsvReader> parser;
    const bool read = parser.Read(Text, reader);
    if (reader.SinkFailure)
        std::rethrow_exception(reader.SinkFailure);
    if (!read && reader.Fault.empty())
        throw EOmmFormat("not CSV after row " + std::to_string(reader.RowsRead()) + ": " + parser.Error());
    if (!reader.Fault.empty())
        throw EOmmFormat(EscapeControls(reader.Fault));
    if (reader.RowsRead() == 0)
        throw EOmmFormat("no header line");
}

std::vector<TOmmRecord> ReadOmmCsv(std::string_view Text)
{
    std::vector<TOmmRecord> records;
    ReadOmmCsvRecords(Text, [&records](const TOmmRecord& Record) { records.push_back(Record); });
    return records;
}

} // namespace elsetry
