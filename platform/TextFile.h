#pragma once
// Text files read and written as lines.

#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace elsetry {

// A file that exists but cannot be read or written; the message names the file and the cause.
class EFileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The lines of a whole text file, split as SplitLines splits them.
// The views point into text held on the heap, so they stay valid when the object is moved.
class TTextLines {
public:
    TTextLines() = default;
    explicit TTextLines(std::string Contents);
    TTextLines(const TTextLines&) = delete;
    TTextLines& operator=(const TTextLines&) = delete;
    TTextLines(TTextLines&&) = default;
    TTextLines& operator=(TTextLines&&) = default;

    std::size_t size() const { return Lines.size(); }
    bool empty() const { return Lines.empty(); }
    std::string_view operator[](std::size_t Index) const { return Lines[Index]; }
    const std::vector<std::string_view>& lines() const { return Lines; }

private:
    std::unique_ptr<std::string> Text;
    std::vector<std::string_view> Lines;
};

bool FileExists(const std::string& Path);
// Raises EFileError when the file cannot be opened or read.
std::string ReadWholeFile(const std::string& Path);
TTextLines ReadTextLines(const std::string& Path);
// The file-name part of a path.
std::string FileNameOf(std::string_view Path);

} // namespace elsetry
