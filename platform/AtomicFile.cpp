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
    throw EFileError("Cannot write file \"" + Path + "\": " + std::strerror(Error), std::strerror(Error));
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

} // namespace

TFileReplacement::TFileReplacement(const std::string& TargetPath, TModes FileModes)
    : Target(TargetPath), Modes(FileModes)
{
    if (::lstat(Target.c_str(), &Earlier) == 0) {
        if (!S_ISREG(Earlier.st_mode))
            throw ENotRegularFile(Target, S_ISLNK(Earlier.st_mode) ? TFileKind::SymbolicLink : TFileKind::Special);
        HadTarget = true;
    } else if (errno != ENOENT) {
        RaiseWriteError(Target, errno);
    }
    std::random_device random;
    for (int attempt = 0; attempt < CreateAttempts; ++attempt) {
        Name = TemporaryNameFor(Target, random());
        Fd.Reset(::open(Name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW,
                        Modes == TModes::Private ? 0600 : 0666));
        if (Fd.Valid())
            return;
        if (errno != EEXIST)
            RaiseWriteError(Target, errno);
    }
    RaiseWriteError(Target, EEXIST);
}

TFileReplacement::~TFileReplacement()
{
    Fd.Reset();
    if (!Renamed && !Name.empty())
        ::unlink(Name.c_str());
}

void TFileReplacement::Write(std::string_view Contents)
{
    const char* next = Contents.data();
    std::size_t left = Contents.size();
    while (left > 0) {
        const ssize_t written = ::write(Fd.Get(), next, left);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            RaiseWriteError(Target, errno);
        }
        next += written;
        left -= static_cast<std::size_t>(written);
    }
}

void TFileReplacement::Commit()
{
    if (HadTarget) {
        // Only a privileged process (a run scheduled as root, say) may give the file back to its
        // owner; anyone else writes files of their own, as any editor does.
        if (Earlier.st_uid != ::geteuid() || Earlier.st_gid != ::getegid())
            static_cast<void>(::fchown(Fd.Get(), Earlier.st_uid, Earlier.st_gid));
        if (Modes == TModes::KeepEarlier && ::fchmod(Fd.Get(), Earlier.st_mode & 07777) != 0)
            RaiseWriteError(Target, errno);
    }
    // Whatever the umask took away.
    if (Modes == TModes::Private && ::fchmod(Fd.Get(), 0600) != 0)
        RaiseWriteError(Target, errno);
    if (::fsync(Fd.Get()) != 0)
        RaiseWriteError(Target, errno);
    RefuseSwappedTemporary();
    if (!Fd.Close())
        RaiseWriteError(Target, errno);
    // The rename replaces the directory entry, whatever it has become meanwhile; it writes
    // through nothing.
    if (::rename(Name.c_str(), Target.c_str()) != 0)
        RaiseWriteError(Target, errno);
    Renamed = true;
}

// The temporary's name must still lead to the file written here: another user of a shared
// folder could have put a link or another file in its place, which the rename would install.
void TFileReplacement::RefuseSwappedTemporary() const
{
    struct stat written {};
    struct stat named {};
    if (::fstat(Fd.Get(), &written) != 0)
        RaiseWriteError(Target, errno);
    if (::lstat(Name.c_str(), &named) != 0)
        RaiseWriteError(Target, errno);
    if (named.st_dev != written.st_dev || named.st_ino != written.st_ino)
        RaiseWriteError(Target, EEXIST);
}

void ReplaceFile(const std::string& Path, std::string_view Contents)
{
    ReplaceRegularFile(ResolvedTarget(Path), Contents);
}

void ReplaceRegularFile(const std::string& Path, std::string_view Contents)
{
    TFileReplacement replacement(Path);
    replacement.Write(Contents);
    replacement.Commit();
}

void ReplacePrivateFile(const std::string& Path, std::string_view Contents)
{
    TFileReplacement replacement(Path, TFileReplacement::TModes::Private);
    replacement.Write(Contents);
    replacement.Commit();
}

void AppendCrLfLine(std::string& Text, std::string_view Line)
{
    Text.append(Line);
    Text.append("\r\n");
}

} // namespace elsetry
