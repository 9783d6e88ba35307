#pragma once
// Readers for the fixed columns of element lines. Columns count from 1; numbers always use "."
// as the decimal point, whatever the process locale.

#include <optional>
#include <string>
#include <string_view>

namespace elsetry {

// Every blank becomes "0", wherever it stands.
std::string BlanksToZeros(std::string_view Text);
// Width characters from column Start (fewer at the end of the line), blanks read as zeros;
// a text that is not a number as a whole reads as 0.
double RealField(std::string_view Line, int Start, int Width);
int IntegerField(std::string_view Line, int Start, int Width);
// "007" for 7, "123" for 123.
std::string ThreeDigitText(int N);

// Whole-text number readers: optional sign, digits, "." and an optional exponent; nothing else.
std::optional<double> ReadDecimal(std::string_view Text);
std::optional<int> ReadInteger(std::string_view Text);

// Letters a-z upper-cased, every other byte kept.
std::string UpperCase(std::string_view Text);
// Leading and trailing blanks and control characters removed.
std::string_view Trim(std::string_view Text);

} // namespace elsetry
