// ReadOmmCsv: CSV records of element sets, read with libcsv.

#include "elements/OmmFields.h"
#include "elements/OmmRecord.h"

#include "text/Strings.h"

#include <csv.h>

#include <new>
#include <utility>

namespace elsetry {

namespace {

constexpr std::string_view ByteOrderMark = "\xEF\xBB\xBF";

// Collects records while libcsv reads the text. Nothing may be thrown through libcsv's C frames,
// so the first fault is only noted here and raised once parsing is over.
class TOmmCsvReader {
public:
    std::vector<TOmmRecord> Records;
    std::string Fault;

    void OnField(std::string_view Text)
    {
        if (!Fault.empty())
            return;
        if (Row == 0)
            AddColumn(Text);
        else if (Field < Columns.size() && Columns[Field])
            Current.*(OmmFields[*Columns[Field]].Member) = Text;
        ++Field;
    }

    void OnRowEnd()
    {
        if (!Fault.empty())
            return;
        ++Row;
        if (Row == 1)
            CheckHeader();
        else if (Field != Columns.size())
            Fault = RowName() + " has " + std::to_string(Field) + " fields, the header names " +
                    std::to_string(Columns.size());
        else
            Records.push_back(std::exchange(Current, TOmmRecord{}));
        Field = 0;
    }

    // Counted from 1, the header being row 1.
    std::string RowName() const { return "row " + std::to_string(Row); }
    std::size_t RowsRead() const { return Row; }

private:
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

    std::vector<std::optional<std::size_t>> Columns; // the field each column holds, if any
    std::array<bool, OmmFields.size()> Seen{};
    TOmmRecord Current;
    std::size_t Field = 0;
    std::size_t Row = 0;
};

void FieldRead(void* Text, std::size_t Length, void* Reader)
{
    static_cast<TOmmCsvReader*>(Reader)->OnField(
        std::string_view(Text ? static_cast<const char*>(Text) : "", Text ? Length : 0));
}

void RowRead(int, void* Reader)
{
    static_cast<TOmmCsvReader*>(Reader)->OnRowEnd();
}

class TCsvParser {
public:
    TCsvParser()
    {
        if (csv_init(&Parser, CSV_STRICT | CSV_STRICT_FINI) != 0)
            throw std::bad_alloc();
    }
    ~TCsvParser() { csv_free(&Parser); }
    TCsvParser(const TCsvParser&) = delete;
    TCsvParser& operator=(const TCsvParser&) = delete;

    // Reads the whole text; false when it is not RFC 4180 records.
    bool Read(std::string_view Text, TOmmCsvReader& Reader)
    {
        return csv_parse(&Parser, Text.data(), Text.size(), FieldRead, RowRead, &Reader) == Text.size() &&
               csv_fini(&Parser, FieldRead, RowRead, &Reader) == 0;
    }

    std::string Error() { return csv_strerror(csv_error(&Parser)); }

private:
    csv_parser Parser{};
};

} // namespace

std::vector<TOmmRecord> ReadOmmCsv(std::string_view Text)
{
    if (Text.starts_with(ByteOrderMark))
        Text.remove_prefix(ByteOrderMark.size());
    TOmmCsvReader reader;
    TCsvParser parser;
    if (!parser.Read(Text, reader) && reader.Fault.empty())
        throw EOmmFormat("not CSV after row " + std::to_string(reader.RowsRead()) + ": " + parser.Error());
    if (!reader.Fault.empty())
        throw EOmmFormat(EscapeControls(reader.Fault));
    if (reader.RowsRead() == 0)
        throw EOmmFormat("no header line");
    return std::move(reader.Records);
}

} // namespace elsetry
