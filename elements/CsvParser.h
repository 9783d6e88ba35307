#pragma once
// A libcsv parser that hands each field and each row's end to a reader, strict about RFC 4180.
// TReader has OnField(std::string_view) and OnRowEnd(); nothing may be thrown through libcsv's C
// frames, so a reader notes its faults and its owner raises them after Read.

#include <csv.h>

#include <cstddef>
#include <new>
#include <string>
#include <string_view>

namespace elsetry {

template <class TReader>
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
    bool Read(std::string_view Text, TReader& Reader)
    {
        return csv_parse(&Parser, Text.data(), Text.size(), FieldRead, RowRead, &Reader) == Text.size()
               && csv_fini(&Parser, FieldRead, RowRead, &Reader) == 0;
    }

    std::string Error() { return csv_strerror(csv_error(&Parser)); }

private:
    static void FieldRead(void* Text, std::size_t Length, void* Reader)
    {
        static_cast<TReader*>(Reader)->OnField(
            std::string_view(Text ? static_cast<const char*>(Text) : "", Text ? Length : 0));
    }
    static void RowRead(int, void* Reader) { static_cast<TReader*>(Reader)->OnRowEnd(); }

    csv_parser Parser{};
};

} // namespace elsetry
