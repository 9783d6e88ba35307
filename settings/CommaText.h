#pragma once
// Comma text: a list of strings as one line, the format of the check list's stored value and of
// the stored individual list ("NOAA-15,NOAA-18,\"Two words\"").

#include <string>
#include <string_view>
#include <vector>

namespace elsetry {

// Items joined by commas; an item holding a blank, a control character, a double quote or a
// comma is written between double quotes with its quotes doubled. The empty list gives "",
// a list of one empty item gives two double quotes.
std::string CommaTextOf(const std::vector<std::string>& Items);

// The items of comma text. Blanks and control characters outside quotes separate items as
// commas do; two commas in a row give an empty item, a trailing comma adds nothing. A quoted item
// left open runs to the end of the text.
std::vector<std::string> ReadCommaText(std::string_view Text);

} // namespace elsetry
