#pragma once
// The individual list: catalogue numbers typed one per line into the window's memo.

#include <optional>
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
// catalogue number is a whole number from 1 to 999999999 in digits, leading zeros kept as typed,
// or in the letter form of element lines ("E8493" for 148493), kept upper-cased. Numbers past
// 339999 reach only files that keep the service's CSV or JSON objects.
std::vector<std::string> CleanFavourites(const std::vector<std::string>& Lines);

// What CleanFavourites drops from Lines, said for the note under the memo: the entries that are
// not catalogue numbers and the satellites listed more than once (in the form kept), each kind
// with at most five examples ("Removed \"abc\": not a catalogue number (1 to 999999999, or E8493 and the like)").
// Blanks go without a word; empty when nothing else is dropped.
std::string DroppedFavouritesNote(const std::vector<std::string>& Lines);

// A number of the list as a query asks for it: a letter form as its value in digits ("148493"),
// digits as they are kept.
std::string QueryNumber(const std::string& Number);

// The value of a number of the list: the letter form's, or that of up to nine significant digits;
// nothing for any other text and for 0.
std::optional<long> ListNumberValue(std::string_view Number);

// The list's numbers, each once in the list's order, parted by whether element lines can hold
// them; entries that are no number are passed over.
struct TListNumbers {
    std::vector<long> Writable;
    std::vector<long> PastElementLines;
};
TListNumbers ListNumbers(const std::vector<std::string>& Numbers);

// "25544, 25338 and 3 more": the first twenty numbers and how many more there are.
std::string NumbersText(const std::vector<long>& Numbers);

// The log line for numbers of the list that a file of element lines cannot hold, which are
// therefore not asked for: "   Individual list: 340123 left out (element lines hold numbers up to
// 339999)".
std::string PastElementLinesNote(const std::vector<long>& Numbers);

} // namespace elsetry
