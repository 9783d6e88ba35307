#pragma once
// CelesTrak's gp.php as the stand-in answers it: which group file of the data folder stands for
// a group name, which sets a query selects, and the forms of the answer.

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace elsetry::service {

using TSet = std::array<std::string, 3>; // name line, line 1, line 2

// The group file ID that holds the group Name ("weather" is the Weather group's file), letter
// case aside; nothing for a name CelesTrak does not publish.
std::optional<int> CelesTrakGroupFile(std::string_view Name);

// The sets of Folder a query selects, by its Key and Value: "GROUP" the group's file, "NAME"
// every set whose name holds Value (letter case aside), "CATNR" the set of that number. Nothing
// for an unknown group or key.
std::optional<std::vector<TSet>> SelectedSets(const std::string& Folder, std::string_view Key, std::string_view Value);

// The answer to a query in Format (letter case aside): "CSV" (or none) the OMM fields under a
// header line, with ExtraRows (CSV rows, each ended by CR LF) added; "TLE" the name padded to 24
// columns, "3LE" the name after "0 ", "2LE" no name, each before the two element lines (line 1 as
// CelesTrakLine writes it), objects
// numbered 100000 or more left out, as CelesTrak's element lines leave them out. Lines end with
// CR LF. Nothing for another format.
std::optional<std::string> GpAnswerText(const std::vector<TSet>& Sets, std::string_view Format,
                                        const std::string& ExtraRows = {});

// Line 1 as CelesTrak writes it since late 2021: a zero second derivative or drag term as
// "00000+0" (a "+" counts nothing in the checksum, a "-" one). Any other line is kept.
std::string CelesTrakLine(std::string Line);

// The rows of an OMM CSV file after its header line; empty when there is no such file.
std::string ExtraCsvRows(const std::string& Path);

} // namespace elsetry::service
