#pragma once
// Locale-free number reading: "." is the decimal point whatever the user's regional settings.

#include <optional>
#include <string_view>

namespace elsetry {

// Whole-text number readers: optional sign, digits, "." and an optional exponent; nothing else.
std::optional<double> ReadDecimal(std::string_view Text);
// The decimals every element field writes, read quickly: an optional "-", up to 15 digits and at
// most one ".", with a digit after it; blanks count as zeros when BlanksAsZeros. The value is the
// one ReadDecimal gives. Nothing for anything else, which ReadDecimal then reads.
std::optional<double> ReadPlainDecimal(std::string_view Text, bool BlanksAsZeros);
std::optional<int> ReadInteger(std::string_view Text);

} // namespace elsetry
