#include "platform/TextFile.h"

#include "platform/LargeMemory.h"
#include "platform/UniqueFd.h"
#include "text/Lines.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace elsetry {

namespace {

[[noreturn]] void RaiseFileError(const std::string& Path, int Error)
{
    throw EFileError("Cannot read file \"" + Path + "\": " + std::strerror(Error), std::strerror(Error));
}

// The file is read straight into the text, sized from the file: one copy, whatever its size.
// A file that grows while it is read is read on to its end.
std::string ReadAll(int Fd, const std::string& Path, std::size_t MaxBytes)
{
    struct stat info {};
    if (::fstat(Fd, &info) != 0)
        RaiseFileError(Path, errno);
    constexpr std::size_t growth = 65536;
    const std::size_t limit = MaxBytes < std::string().max_size() ? MaxBytes + 1 : MaxBytes;
    // One byte more than the file holds, so that its end shows without growing the text.
    const std::size_t expected = std::min(static_cast<std::size_t>(std::max<off_t>(info.st_size, 0)) + 1, limit);
    std::string contents;
    contents.reserve(expected);
    PrepareLargeBuffer(contents.data(), expected);
    contents.resize(expected);
    std::size_t used = 0;
    for (;;) {
        if (used == contents.size()) {
            if (contents.size() == limit)
                throw EFileError("Cannot read file \"" + Path + "\": too large", "too large");
            contents.resize(std::min(contents.size() + std::max(growth, contents.size() / 2), limit));
        }
        const ssize_t got = ::read(Fd, contents.data() + used, contents.size() - used);
        if (got < 0) {
            if (errno == EINTR)
                continue;
            RaiseFileError(Path, errno);
        }
        if (got == 0)
            break;
        used += static_cast<std::size_t>(got);
    }
    contents.resize(used);
    return contents;
}

} // namespace

ENotRegularFile::ENotRegularFile(const std::string& Path, TFileKind Kind)
    : EFileError("Not a regular file \"" + Path + "\"",
                 Kind == TFileKind::SymbolicLink ? "a symbolic link" : "not a regular file")
{
}

TTextLines::TTextLines(std::string Contents)
    : Text(std::make_unique<std::string>(std::move(Contents))), Lines(SplitLines(*Text))
{
}

bool FileExists(const std::string& Path)
{
    struct stat info {};
    return ::stat(Path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

std::string ReadWholeFile(const std::string& Path)
{
    const TUniqueFd file(::open(Path.c_str(), O_RDONLY | O_CLOEXEC));
    if (!file.Valid())
        RaiseFileError(Path, errno);
    return ReadAll(file.Get(), Path, std::string().max_size());
}

TFileReader::TFileReader(const std::string& FilePath)
    : Path(FilePath), File(::open(FilePath.c_str(), O_RDONLY | O_CLOEXEC))
{
    struct stat info {};
    if (!File.Valid() || ::fstat(File.Get(), &info) != 0)
        RaiseFileError(Path, errno);
    OpenedSize = static_cast<std::size_t>(std::max<off_t>(info.st_size, 0));
}

bool TFileReader::Read(std::string& Text, std::size_t Bytes)
{
    const std::size_t start = Text.size();
    Text.resize(start + Bytes);
    std::size_t used = 0;
    while (used < Bytes) {
        const ssize_t got = ::read(File.Get(), Text.data() + start + used, Bytes - used);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            Text.resize(start + used);
            RaiseFileError(Path, errno);
        }
        if (got == 0)
            break;
        used += static_cast<std::size_t>(got);
    }
    Text.resize(start + used);
    return used == Bytes;
}

TFileKind FileKindAt(const std::string& Path)
{
    struct stat info {};
    if (::lstat(Path.c_str(), &info) != 0) {
        if (errno == ENOENT)
            return TFileKind::Missing;
        RaiseFileError(Path, errno);
    }
    if (S_ISLNK(info.st_mode))
        return TFileKind::SymbolicLink;
    return S_ISREG(info.st_mode) ? TFileKind::Regular : TFileKind::Special;
}

bool CreateEmptyFile(const std::string& Path)
{
    // O_EXCL fails on any existing entry, a link included, so nothing is ever written through one.
    TUniqueFd file(::open(Path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY, 0666));
    if (!file.Valid()) {
        if (errno == EEXIST)
            return false;
        throw EFileError("Cannot create file \"" + Path + "\": " + std::strerror(errno), std::strerror(errno));
    }
    if (!file.Close())
        throw EFileError("Cannot create file \"" + Path + "\": " + std::strerror(errno), std::strerror(errno));
    return true;
}

std::string ReadRegularFile(const std::string& Path, std::size_t MaxBytes)
{
    // O_NONBLOCK: a FIFO put in the file's place must not hold the run up until a writer comes.
    const TUniqueFd file(::open(Path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY));
    if (!file.Valid()) {
        if (errno == ELOOP)
            throw ENotRegularFile(Path, TFileKind::SymbolicLink);
        RaiseFileError(Path, errno);
    }
    struct stat info {};
    if (::fstat(file.Get(), &info) != 0)
        RaiseFileError(Path, errno);
    if (!S_ISREG(info.st_mode))
        throw ENotRegularFile(Path, TFileKind::Special);
    return ReadAll(file.Get(), Path, MaxBytes);
}

TTextLines ReadTextLines(const std::string& Path)
{
    return TTextLines(ReadWholeFile(Path));
}

std::string FileNameOf(std::string_view Path)
{
    const std::size_t slash = Path.find_last_of('/');
    return std::string(slash == std::string_view::npos ? Path : Path.substr(slash + 1));
}

} // namespace elsetry
