#pragma once
// Catalogue numbers as element lines write them. Columns 3-7 hold five characters: numbers
// below 100000 as digits, and numbers from 100000 to 339999 in the "Alpha-5" form, a letter for
// the ten-thousands (A = 10 ... Z = 33, I and O left out so as not to be read as 1 and 0)
// followed by four digits: "E8493" is 148493.

#include <optional>
#include <string>
#include <string_view>

namespace elsetry {

// The smallest number written in the letter form ("A0000").
constexpr int FirstAlpha5Number = 100000;
// The largest number the five columns can hold ("Z9999").
constexpr int LargestCatalogueNumber = 339999;

// The number a text stands for: digits, with leading blanks or zeros as element lines pad them
// ("25544", " 1234", "00007", "148493"), or a letter of either case and four digits ("E8493",
// "e8493"). Nothing for any other text, for I and O, and for numbers above
// LargestCatalogueNumber.
std::optional<int> CatalogueNumberValue(std::string_view Text);

// The five characters an element line writes for Number: zero-padded digits below 100000, the
// letter form from 100000 to LargestCatalogueNumber. Empty for a number outside that range.
std::string Alpha5Text(int Number);

} // namespace elsetry
