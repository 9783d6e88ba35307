#pragma once
// Texts split into lines. The views point into the text split, which must outlive them.

#include <string>
#include <string_view>
#include <vector>

namespace elsetry {

// Split at CR LF, LF or CR; a final line end adds no empty line.
std::vector<std::string_view> SplitLines(std::string_view Text);
// Split at LF alone, so that line numbers count LFs; one CR at the end of a line is dropped and
// any other CR stays in its line. A final line end adds no empty line.
std::vector<std::string_view> SplitAtLineFeeds(std::string_view Text);
// The number of lines SplitLines gives, counted without making them.
std::size_t LineCount(std::string_view Text);
// Each line as a string of its own.
std::vector<std::string> LineCopies(const std::vector<std::string_view>& Lines);

} // namespace elsetry
