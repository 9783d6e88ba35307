#pragma once
// CelesTrak's gp.php as a run uses it: the query of one catalogue number, the two error answers a run reads, and a CSV
// answer made into element sets.

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace elsetry {

inline constexpr std::string_view GpPhpPath = "/NORAD/elements/gp.php";

// "CATNR=25544".
std::string CatalogueNumberQuery(long Number);
// "/NORAD/elements/gp.php?" + Query + "&FORMAT=CSV".
std::string GpTarget(std::string_view Query);
// Address + GpTarget(Query).
std::string GpUrl(std::string_view Address, std::string_view Query);

// Whether an answer (a 403, or a 200 from some of CelesTrak's servers) says the data has not
// changed since the client's last download, the words broken over lines or not.
bool SaysNotUpdated(std::string_view Body);
// Whether an error answer (404) says the query found nothing.
bool SaysNoData(std::string_view Body);

// The element sets of one CSV answer.
struct TCsvElementSets {
    // Name line and two element lines each, in the answer's order, with their catalogue numbers.
    std::vector<std::array<std::string, 3>> Sets;
    std::vector<long> Numbers;
    // Objects numbered past what element lines can hold, left out.
    int PastLargest = 0;
};

// The sets are written as CelesTrak writes its own element lines (zero exponents "00000+0").
// Raises EGroupFailed when a row does not read as an element set, so that a group is saved whole
// or not at all.
TCsvElementSets CsvElementSets(std::string_view Csv);

// The row of the object numbered Number, past what element lines hold, in a CSV answer, written
// under OmmCsvHeader without a line end; nothing when the answer has none. Raises EGroupFailed as
// CsvElementSets does.
std::optional<std::string> CsvRowOfNumber(std::string_view Csv, long Number);

} // namespace elsetry
