// ReadOmmCsv: CSV records of element sets, read with libcsv.

#include "elements/CsvParser.h"
#include "elements/OmmFields.h"
#include "elements/OmmReaders.h"

#include "text/Strings.h"

#include <exception>
#include <new>

namespace elsetry {

namespace {

constexpr std::string_view ByteOrderMark = "\xEF\xBB\xBF";

// Hands each row's record on while libcsv reads the text. Nothing may be thrown through libcsv's
// C frames, so the first fault, or what the sink raised, is only noted here and raised once
// parsing is over.
class TOmmCsvReader {
public:
    explicit TOmmCsvReader(const TOmmRecordSink& RecordSink) : Sink(RecordSink) {}

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

} // namespace

void ReadOmmCsvRecords(std::string_view Text, const TOmmRecordSink& Sink)
{
    if (Text.starts_with(ByteOrderMark))
        Text.remove_prefix(ByteOrderMark.size());
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
