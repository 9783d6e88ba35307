#pragma once
// Readers for the fixed columns of element lines. Columns count from 1; numbers always use "."
// as the decimal point, whatever the process locale.

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

} // namespace elsetry
