#pragma once
// A generated catalogue's sets in the CSV and JSON forms the catalogue services also answer in,
// read back from their element lines, so that tests and benchmarks have the same sets in every
// form.

#include <string>
#include <vector>

namespace elsetry {

// Lines holds a name line, line 1 and line 2 for every set, as GenerateCatalogue gives them.
// CSV as CelesTrak writes it (CR LF, exponents as ".12345E-4").
std::string CatalogueAsOmmCsv(const std::vector<std::string>& Lines);
// A JSON list of objects with numbers as JSON numbers, as CelesTrak writes it.
std::string CatalogueAsOmmJson(const std::vector<std::string>& Lines);

} // namespace elsetry
