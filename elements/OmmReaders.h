#pragma once
// The CSV and JSON readers set by set, for callers that use each set once: no record is kept,
// and the strings of one are reused for the next.

#include "elements/OmmRecord.h"

#include <functional>
#include <string_view>

namespace elsetry {

// Called with each record in the order of the text.
using TOmmRecordSink = std::function<void(const TOmmRecord&)>;

// As ReadOmmCsv and ReadOmmJson, with the same faults. Each record reaches Sink before the text
// after it is read, so a fault further on is raised after Sink has seen the records before it.
void ReadOmmCsvRecords(std::string_view Text, const TOmmRecordSink& Sink);
void ReadOmmJsonRecords(std::string_view Text, const TOmmRecordSink& Sink);

} // namespace elsetry
