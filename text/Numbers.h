#pragma once
// Locale-free number reading: "." is the decimal point whatever the user's regional settings.

#include <optional>
#include <string_view>

namespace elsetry {

// Whole-text number readers: optional sign, digits, "." and an optional exponent; nothing else.
std::optional<double> ReadDecimal(std::string_view Text);
std::optional<int> ReadInteger(std::string_view Text);

} // namespace elsetry
