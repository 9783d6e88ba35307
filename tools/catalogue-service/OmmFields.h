#pragma once
// Element sets in the Orbit Mean-Elements Message form as the stand-in's CSV answers write them:
// the program's own writer (elements/OmmWriter.h), so that a client writing the lines back from
// the fields gets the lines the service holds.

#include "elements/OmmWriter.h"

namespace elsetry::service {

using elsetry::OmmCsv;
using elsetry::OmmCsvHeader;
using elsetry::OmmCsvRow;
using elsetry::OmmRecordOf;

} // namespace elsetry::service
