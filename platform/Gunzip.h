#pragma once
// Reading a downloaded group file, gzip-compressed or plain, as text lines.

#include "platform/AnswerLimit.h"

#include <cstddef>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace elsetry {

// The path is longer than the gzip reader takes; the text is the one the user is shown.
class EGzipPathTooLong : public std::runtime_error {
public:
    EGzipPathTooLong() : std::runtime_error("Unable to GZip this file: path name is too long") {}
};

// The compressed data is damaged.
class EGzipData : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

constexpr std::size_t MaxGzipPathLength = 240;

// Reads the file through zlib in blocks of 16384 bytes (data without the gzip signature comes
// through unchanged), deletes it, and splits the text into lines at CR LF, LF or CR. A file that
// cannot be opened gives no lines. Raises EGzipPathTooLong for a path longer than 240
// characters, EGzipData when the data is damaged, and EAnswerTooLarge when the text is longer
// than MaxBytes or has more than MaxLines lines, before any line is made; the file is deleted in
// every case.
std::vector<std::string> GunzipToLines(const std::string& Path, std::size_t MaxBytes = GroupTextLimitBytes,
                                       std::size_t MaxLines = GroupLineLimit);
// The lines of a text, or EAnswerTooLarge past the bounds, before any line is made.
std::vector<std::string> BoundedLines(std::string_view Text, std::size_t MaxBytes = GroupTextLimitBytes,
                                      std::size_t MaxLines = GroupLineLimit);

} // namespace elsetry
