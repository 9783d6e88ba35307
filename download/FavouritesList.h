#pragma once
// The individual list: catalogue numbers typed one per line into the window's memo.

#include <string>
#include <string_view>
#include <vector>

namespace elsetry {

// The lines of a memo's text: split at CR LF, LF or CR; a final line end adds no empty line,
// and an empty text has no lines.
std::vector<std::string> MemoLines(std::string_view Text);
// Lines joined with LF, as a memo shows them.
std::string MemoText(const std::vector<std::string>& Lines);

// The list as the memo shows it after the user leaves it: each line trimmed of blanks, lines that
// are not a catalogue number (a whole number from 1 to 99999, leading zeros kept as typed)
// dropped, and the rest sorted as text, letter case ignored, without duplicates.
std::vector<std::string> CleanFavourites(const std::vector<std::string>& Lines);

} // namespace elsetry
