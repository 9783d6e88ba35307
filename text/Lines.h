#pragma once
// Texts split into lines. The views point into the text split, which must outlive them.

#include <string>
#include <string_view>
#include <vector>

namespace elsetry {

// The lines of a text one after the other, split at CR LF, LF or CR; a final line end adds no
// empty line.
class TLineReader {
public:
    explicit TLineReader(std::string_view Text) : Next(Text.data()), End(Text.data() + Text.size()) {}
    bool AtEnd() const { return Next == End; }
    // The next line; an empty view at the end.
    std::string_view Read();
    // The text not yet read.
    std::string_view Rest() const { return {Next, static_cast<std::size_t>(End - Next)}; }

private:
    const char* Next;
    const char* End;
};

// Split as TLineReader reads.
std::vector<std::string_view> SplitLines(std::string_view Text);
// Split at LF alone, so that line numbers count LFs; one CR at the end of a line is dropped and
// any other CR stays in its line. A final line end adds no empty line.
std::vector<std::string_view> SplitAtLineFeeds(std::string_view Text);
// The number of lines SplitLines gives, counted without making them.
std::size_t LineCount(std::string_view Text);
// Each line as a string of its own.
std::vector<std::string> LineCopies(const std::vector<std::string_view>& Lines);

} // namespace elsetry
