#include "platform/AtomicFile.h"

#include "platform/TextFile.h"
#include "platform/UniqueFd.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace elsetry {

namespace {

// Longest part of the target's name that goes into the temporary name, keeping that name
// within the file system's limit of 255 bytes.
constexpr std::size_t NameInTemporary = 200;
constexpr int CreateAttempts = 100;

[[noreturn]] void RaiseWriteError(const std::string& Path, int Error)
{
    throw EFileError("Cannot write file \"" + Path + "\": " + std::strerror(Error));
}

// The file that a symbolic link points to, so that replacing it keeps the link; any other path
// as it is.
std::string ResolvedTarget(const std::string& Path)
{
    struct stat info {};
    if (::lstat(Path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode))
        return Path;
    char resolved[PATH_MAX];
    if (::realpath(Path.c_str(), resolved) == nullptr)
        return Path; // a dangling link is replaced by the file itself
    return resolved;
}

// A hidden name beside Target ending in ".tmp", so that folder scans for element files never
// pick up a temporary file that a crash left behind.
std::string TemporaryNameFor(const std::string& Target, std::uint32_t Salt)
{
    const std::size_t slash = Target.find_last_of('/');
    const std::size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    char suffix[16];
    std::snprintf(suffix, sizeof suffix, "-%08x.tmp", static_cast<unsigned>(Salt));
    return Target.substr(0, nameStart) + "." + Target.substr(nameStart, NameInTemporary) + suffix;
}

// A temporary file that is removed again unless it has been renamed over its target.
class TTemporaryFile {
public:
    explicit TTemporaryFile(const std::string& Target, const std::string& ReportedPath);
    ~TTemporaryFile();
    TTemporaryFile(const TTemporaryFile&) = delete;
    TTemporaryFile& operator=(const TTemporaryFile&) = delete;

    void Write(std::string_view Contents);
    void TakeOwnerAndModeOf(const std::string& Target);
    void RenameOver(const std::string& Target);

private:
    std::string Reported;
    std::string Name;
    TUniqueFd Fd;
    bool Renamed = false;
};

TTemporaryFile::TTemporaryFile(const std::string& Target, const std::string& ReportedPath) : Reported(ReportedPath)
{
    std::random_device random;
    for (int attempt = 0; attempt < CreateAttempts; ++attempt) {
        Name = TemporaryNameFor(Target, random());
        Fd.Reset(::open(Name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666));
        if (Fd.Valid())
            return;
        if (errno != EEXIST)
            RaiseWriteError(Reported, errno);
    }
    RaiseWriteError(Reported, EEXIST);
}

TTemporaryFile::~TTemporaryFile()
{
    Fd.Reset();
    if (!Renamed)
        ::unlink(Name.c_str());
}

void TTemporaryFile::Write(std::string_view Contents)
{
    const char* next = Contents.data();
    std::size_t left = Contents.size();
    while (left > 0) {
        const ssize_t written = ::write(Fd.Get(), next, left);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            RaiseWriteError(Reported, errno);
        }
        next += written;
        left -= static_cast<std::size_t>(written);
    }
}

void TTemporaryFile::TakeOwnerAndModeOf(const std::string& Target)
{
    struct stat info {};
    if (::stat(Target.c_str(), &info) != 0)
        return; // a new file keeps the mode the user's umask gave it
    // Only a privileged process (a run scheduled as root, say) may give the file back to its
    // owner; anyone else writes files of their own, as any editor does.
    if (info.st_uid != ::geteuid() || info.st_gid != ::getegid())
        static_cast<void>(::fchown(Fd.Get(), info.st_uid, info.st_gid));
    if (::fchmod(Fd.Get(), info.st_mode & 07777) != 0)
        RaiseWriteError(Reported, errno);
}

void TTemporaryFile::RenameOver(const std::string& Target)
{
    if (::fsync(Fd.Get()) != 0)
        RaiseWriteError(Reported, errno);
    if (!Fd.Close())
        RaiseWriteError(Reported, errno);
    if (::rename(Name.c_str(), Target.c_str()) != 0)
        RaiseWriteError(Reported, errno);
    Renamed = true;
}

} // namespace

void ReplaceFile(const std::string& Path, std::string_view Contents)
{
    const std::string target = ResolvedTarget(Path);
    TTemporaryFile temporary(target, Path);
    temporary.Write(Contents);
    temporary.TakeOwnerAndModeOf(target);
    temporary.RenameOver(target);
}

void AppendCrLfLine(std::string& Text, std::string_view Line)
{
    Text.append(Line);
    Text.append("\r\n");
}

} // namespace elsetry
