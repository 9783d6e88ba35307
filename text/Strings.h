#pragma once
// Letter case and blanks of 8-bit texts. Case is folded for ASCII letters only, never by the
// process locale, so names and keys compare the same for every user.

#include <cstddef>
#include <string>
#include <string_view>

namespace elsetry {

// Letters a-z upper-cased, every other byte kept.
std::string UpperCase(std::string_view Text);
// Whether the text holds a letter a-z.
bool HasLowerCase(std::string_view Text);
// Letters A-Z lower-cased, every other byte kept: the form texts compare in when case does not
// count, so orders agree with SQLite's NOCASE.
std::string LowerCase(std::string_view Text);
// Negative, 0 or positive as LowerCase(A) sorts before, with or after LowerCase(B), bytes taken
// as unsigned.
int CompareText(std::string_view A, std::string_view B);
bool SameText(std::string_view A, std::string_view B);
bool StartsWithIgnoringCase(std::string_view Text, std::string_view Prefix);
bool EndsWithIgnoringCase(std::string_view Text, std::string_view Suffix);
// Leading and trailing blanks and control characters removed. Inline: every field of every set
// read is trimmed.
inline std::string_view Trim(std::string_view Text)
{
    const auto isSpace = [](char c) { return static_cast<unsigned char>(c) <= ' '; };
    while (!Text.empty() && isSpace(Text.front()))
        Text.remove_prefix(1);
    while (!Text.empty() && isSpace(Text.back()))
        Text.remove_suffix(1);
    return Text;
}
// The text with every byte that is not printable ASCII (below 32, and 127 on, which takes in the
// one-byte C1 controls such as 0x9b and every byte of UTF-8) and every backslash written as "\x9b"
// or "\\", so that a text from a server or a file cannot steer the terminal or mail reader that
// shows the log.
std::string EscapeControls(std::string_view Text);
// The first Length bytes of the text, with "..." after them when the text goes on: a service's or
// a reader's words, short enough for a log line.
std::string ShortenedText(std::string_view Text, std::size_t Length);
// Whether the byte is an ASCII digit, whatever the process locale.
constexpr bool IsDigit(char C)
{
    return C >= '0' && C <= '9';
}
// Whether the text is one or more ASCII digits and nothing else.
bool AllDigits(std::string_view Text);

} // namespace elsetry
