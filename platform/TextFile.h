#pragma once
// Text files read and written as lines.

#include "platform/UniqueFd.h"

#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace elsetry {

// A file that exists but cannot be read or written; the message names the file and the cause,
// and Cause() gives the cause alone, short enough for a log line ("No space left on device").
class EFileError : public std::runtime_error {
public:
    explicit EFileError(const std::string& Message, std::string ShortCause = {})
        : std::runtime_error(Message), Why(std::move(ShortCause))
    {
    }
    std::string Cause() const { return Why.empty() ? what() : Why; }

private:
    std::string Why;
};

// What a directory entry is in itself, a link not followed.
enum class TFileKind { Missing, Regular, SymbolicLink, Special };

// The path names a symbolic link, a folder, a device, a FIFO or a socket, which the program
// neither reads as a file of its own nor writes through; Cause() is "a symbolic link" or
// "not a regular file".
class ENotRegularFile : public EFileError {
public:
    ENotRegularFile(const std::string& Path, TFileKind Kind);
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

// A file read a piece at a time, for readers that need not hold the whole of a large one.
class TFileReader {
public:
    // Raises EFileError when the file cannot be opened.
    explicit TFileReader(const std::string& Path);

    // The file's size when it was opened.
    std::size_t Size() const { return OpenedSize; }
    // Appends up to Bytes more of the file to Text; false once the end of the file is reached.
    // Raises EFileError when it cannot be read.
    bool Read(std::string& Text, std::size_t Bytes);

private:
    std::string Path;
    TUniqueFd File;
    std::size_t OpenedSize = 0;
};
// What stands at Path. Raises EFileError when the entry cannot be examined (a folder on the way
// that is a file, say).
TFileKind FileKindAt(const std::string& Path);
// The whole of a regular file, opened without following a link and without waiting on a FIFO.
// Raises ENotRegularFile for anything else, and EFileError when the file cannot be read or holds
// more than MaxBytes (cause "too large").
std::string ReadRegularFile(const std::string& Path, std::size_t MaxBytes);
TTextLines ReadTextLines(const std::string& Path);
// Creates an empty regular file at Path; false, creating nothing, when an entry of any kind
// stands there already (a symbolic link too, whether or not it leads anywhere). Raises
// EFileError when the file cannot be created.
bool CreateEmptyFile(const std::string& Path);
// The file-name part of a path.
std::string FileNameOf(std::string_view Path);

} // namespace elsetry
