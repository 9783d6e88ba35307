#pragma once
// Element sets written in the Orbit Mean-Elements Message form: each field's text built from the
// columns of the element lines, digit for digit, so that a reader writing the lines back from the
// fields gets the lines it was made of; and records written as CSV rows and JSON objects.

#include "elements/OmmRecord.h"

#include <string>
#include <string_view>
#include <vector>

namespace elsetry {

// The fields in the order CelesTrak's CSV answers give them, which is OmmFields' order.
inline constexpr std::string_view OmmCsvHeader =
    "OBJECT_NAME,OBJECT_ID,EPOCH,MEAN_MOTION,ECCENTRICITY,INCLINATION,RA_OF_ASC_NODE,ARG_OF_PERICENTER,"
    "MEAN_ANOMALY,EPHEMERIS_TYPE,CLASSIFICATION_TYPE,NORAD_CAT_ID,ELEMENT_SET_NO,REV_AT_EPOCH,BSTAR,"
    "MEAN_MOTION_DOT,MEAN_MOTION_DDOT";

// The fields of a set in the forms CelesTrak writes: "1998-067A" from "98067A",
// "2024-01-05T12:00:00.000000" from "24005.50000000", ".0006703" from "0006703", ".35336E-4"
// from " 35336-4", "-6.43E-6" from "-.00000643", the catalogue number in digits from the letter
// form. A name line's "0 " and blanks around a field are left out. Fields that do not read are
// given as their columns hold them.
TOmmRecord OmmRecordOf(std::string_view Name, std::string_view Line1, std::string_view Line2);

// One line of CSV, in the header's order, fields quoted as RFC 4180 has it, ended by LineEnd.
std::string OmmCsvRow(const TOmmRecord& Record, std::string_view LineEnd = "\r\n");
// The header line and a row for each record, CR LF line ends.
std::string OmmCsv(const std::vector<TOmmRecord>& Records);

// One JSON object of the same fields: names, designator, epoch and classification as strings,
// the others as JSON numbers (".0006703" as 0.0006703), null when empty, and as strings when
// their text is no number.
std::string OmmJsonObject(const TOmmRecord& Record);

} // namespace elsetry
