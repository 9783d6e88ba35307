#pragma once
// Settings of the maker's other programs, read from their keys in the current user's store.

#include <string>

namespace elsetry {

// The string value ValueName of "\Software\<CompanyKey>\<Program>"; empty when the key or the
// value is missing or the value is not a string.
std::string ReadMakerProgramSetting(const std::string& Program, const std::string& ValueName);

} // namespace elsetry
