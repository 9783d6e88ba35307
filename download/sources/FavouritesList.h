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

// The list as the memo shows it after the user leaves it: one catalogue number per line, sorted by
// number. Commas and blanks separate entries; entries that are not catalogue numbers are dropped,
// and of the entries for one satellite only the first is kept, in the form it was typed. A
// catalogue number is a whole number from 1 to 339999 in digits, leading zeros kept as typed, or
// in the letter form of element lines ("E8493" for 148493), kept upper-cased.
std::vector<std::string> CleanFavourites(const std::vector<std::string>& Lines);

// What CleanFavourites drops from Lines, said for the note under the memo: the entries that are
// not catalogue numbers and the satellites listed more than once (in the form kept), each kind
// with at most five examples ("Removed \"abc\": not a catalogue number (1 to 339999, or E8493 and the like)").
// Blanks go without a word; empty when nothing else is dropped.
std::string DroppedFavouritesNote(const std::vector<std::string>& Lines);

// A number of the list as a query asks for it: a letter form as its value in digits ("148493"),
// digits as they are kept.
std::string QueryNumber(const std::string& Number);

} // namespace elsetry
