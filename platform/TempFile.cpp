#include "platform/TempFile.h"

#include "platform/TextFile.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace elsetry {

namespace {

constexpr int NameAttempts = 100;

// True when Path names nothing, or a regular file of ours that is now removed.
bool ClearOwnFile(const std::string& Path)
{
    struct stat info {};
    if (::lstat(Path.c_str(), &info) != 0)
        return errno == ENOENT;
    if (!S_ISREG(info.st_mode) || info.st_uid != ::geteuid())
        return false;
    return ::unlink(Path.c_str()) == 0 || errno == ENOENT;
}

} // namespace

std::string UserTempFolder()
{
    const char* folder = std::getenv("TMPDIR");
    std::string path = folder != nullptr && *folder != '\0' ? folder : "/tmp";
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    return path;
}

TKepTempFile::TKepTempFile(std::string Folder) : TempFolder(std::move(Folder))
{
    ChooseName();
}

void TKepTempFile::ChooseName()
{
    static std::random_device seed;
    std::uniform_int_distribution<unsigned long long> digits;
    char name[32];
    std::snprintf(name, sizeof name, "Kep%016llX.gz", digits(seed));
    FilePath = TempFolder + "/" + name;
}

int TKepTempFile::Create()
{
    int error = 0;
    for (int attempt = 0; attempt < NameAttempts; ++attempt) {
        if (ClearOwnFile(FilePath)) {
            // O_EXCL with O_NOFOLLOW: whatever appeared at the name since is not opened.
            const int fd = ::open(FilePath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
            if (fd >= 0)
                return fd;
            error = errno;
            if (error != EEXIST)
                break;
        } else {
            error = EEXIST;
        }
        ChooseName();
    }
    throw EFileError("Cannot create the temporary file \"" + FilePath + "\": " + std::strerror(error));
}

} // namespace elsetry
