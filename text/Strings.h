#pragma once
// Letter case and blanks of 8-bit texts. Case is folded for ASCII letters only, never by the
// process locale, so names compare the same for every user.

#include <string>
#include <string_view>

namespace elsetry {

// Letters a-z upper-cased, every other byte kept.
std::string UpperCase(std::string_view Text);
// Leading and trailing blanks and control characters removed.
std::string_view Trim(std::string_view Text);

} // namespace elsetry
