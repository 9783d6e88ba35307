#pragma once
// Readers for the fixed-width fields of element lines. Numbers always use "." as the decimal
// point, whatever the process locale.

#include "elements/ElementColumns.h"

#include <array>
#include <string>
#include <string_view>

namespace elsetry {

// Every blank becomes "0", wherever it stands.
std::string BlanksToZeros(std::string_view Text);
// The field's text (see FieldText) with blanks read as zeros; a text that is not a number as a
// whole reads as 0.
double RealField(std::string_view Line, TColumns Field);
int IntegerField(std::string_view Line, TColumns Field);
// "007" for 7, "123" for 123, "-5" for -5, zero-terminated: an element set number, which its
// three columns keep from -99 to 999.
std::array<char, 4> ThreeDigitText(int N);

// The modulo-10 checksum of an element line's first 68 columns, which column 69 holds: digits
// count their value, "-" counts 1, and anything else, the letter of a letter-form catalogue
// number too, counts 0.
int ElementLineChecksum(std::string_view Line);

} // namespace elsetry
