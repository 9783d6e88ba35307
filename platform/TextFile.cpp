#include "platform/TextFile.h"

#include "platform/UniqueFd.h"
#include "text/Lines.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace elsetry {

namespace {

[[noreturn]] void RaiseFileError(const std::string& Path, int Error)
{
    throw EFileError("Cannot read file \"" + Path + "\": " + std::strerror(Error));
}

} // namespace

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
    struct stat info {};
    if (::fstat(file.Get(), &info) != 0)
        RaiseFileError(Path, errno);
    std::string contents;
    if (info.st_size > 0)
        contents.reserve(static_cast<std::size_t>(info.st_size));
    char buffer[65536];
    for (;;) {
        const ssize_t got = ::read(file.Get(), buffer, sizeof buffer);
        if (got < 0) {
            if (errno == EINTR)
                continue;
            RaiseFileError(Path, errno);
        }
        if (got == 0)
            break;
        contents.append(buffer, static_cast<std::size_t>(got));
    }
    return contents;
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
