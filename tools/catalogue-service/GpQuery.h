#pragma once
// The general-perturbations query of the stand-in's API: the path after "class/gp" as field/value
// predicates, an order and a format, matched against the element sets the service holds.

#include "elements/OmmRecord.h"

#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace elsetry::service {

// A query path the service cannot read; what() says why, as the answer's error text.
class EGpQueryError : public std::invalid_argument {
public:
    using std::invalid_argument::invalid_argument;
};

// One element set as the query sees it.
struct TGpRecord {
    std::string ObjectName;
    int NoradCatId = 0;
    std::string Epoch;    // "2024-01-05T12:00:00.000000"
    double EpochDays = 0; // days since 1970-01-01, for comparisons
    double MeanMotion = 0;
    double Eccentricity = 0;
    std::string ObjectType; // "PAYLOAD", "DEBRIS" or "ROCKET BODY"
    std::optional<std::string> DecayDate;
    std::string Line1;
    std::string Line2;
    // An object given by its OMM fields alone (no element lines hold it): answered only in the
    // CSV and JSON formats.
    std::optional<TOmmRecord> Omm;
};

struct TGpPredicate {
    enum class TKind { Equal, Greater, Less, Range, Contains, Null };
    std::string Field; // upper case
    TKind Kind = TKind::Equal;
    std::vector<std::string> Values; // one, two for a range, several for a comma list
};

struct TGpQuery {
    std::vector<TGpPredicate> Predicates;
    std::string OrderField; // upper case; empty for catalogue-number order
    bool Descending = false;
    std::string Format; // "3le", "tle", "json" or "csv" (the OMM fields, as CelesTrak's CSV has them)
};

// "%3E" as ">", "%20" as a blank; other text as it is.
std::string PercentDecoded(std::string_view Text);

// Reads the segments after "class/gp/" (escaped or not). Raises EGpQueryError.
TGpQuery ParseGpQuery(std::string_view Path);

// The record of a set; NORAD_CAT_ID from the letter form too. Raises EGpQueryError for lines
// without a catalogue number.
TGpRecord GpRecordOf(std::string_view Name, std::string_view Line1, std::string_view Line2);

// The record of an object given only by its OMM fields. Raises EGpQueryError when its number or
// epoch does not read.
TGpRecord GpRecordOfOmm(const TOmmRecord& Omm);

// Whether Record passes every predicate; NowDays (days since 1970-01-01) stands for "now".
bool GpMatches(const TGpQuery& Query, const TGpRecord& Record, double NowDays);

// The records that pass, in the query's order.
std::vector<TGpRecord> GpSelect(const TGpQuery& Query, std::vector<TGpRecord> Records, double NowDays);

// The answer body in the query's format.
std::string GpAnswer(const TGpQuery& Query, const std::vector<TGpRecord>& Records);

} // namespace elsetry::service
