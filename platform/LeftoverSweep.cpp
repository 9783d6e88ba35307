#include "platform/LeftoverSweep.h"

#include "platform/UniqueFd.h"

#include <algorithm>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace elsetry {

namespace {

bool AllOf(std::string_view Text, bool (*Digit)(char))
{
    return !Text.empty() && std::all_of(Text.begin(), Text.end(), Digit);
}

bool LowerHexDigit(char C)
{
    return (C >= '0' && C <= '9') || (C >= 'a' && C <= 'f');
}

bool UpperHexDigit(char C)
{
    return (C >= '0' && C <= '9') || (C >= 'A' && C <= 'F');
}

bool IsStaleOwnFile(int Folder, const char* Name, std::time_t Before)
{
    struct stat info {};
    return ::fstatat(Folder, Name, &info, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(info.st_mode)
           && info.st_uid == ::geteuid() && info.st_mtime < Before;
}

} // namespace

bool IsReplacementLeftover(std::string_view Name)
{
    constexpr std::size_t SaltDigits = 8;
    constexpr std::string_view Ending = ".tmp";
    // ".", at least one character of the target's name, "-", the salt, ".tmp".
    if (Name.size() < 3 + SaltDigits + Ending.size() || Name.front() != '.' || !Name.ends_with(Ending))
        return false;
    Name.remove_suffix(Ending.size());
    return AllOf(Name.substr(Name.size() - SaltDigits), LowerHexDigit) && Name[Name.size() - SaltDigits - 1] == '-';
}

bool IsDownloadLeftover(std::string_view Name)
{
    // Four digits at most in earlier versions, sixteen now.
    constexpr std::size_t MostDigits = 16;
    if (!Name.starts_with("Kep") || !Name.ends_with(".gz"))
        return false;
    const std::string_view digits = Name.substr(3, Name.size() - 6);
    return digits.size() <= MostDigits && AllOf(digits, UpperHexDigit);
}

int SweepLeftovers(const std::string& Folder, bool (*Matches)(std::string_view), std::time_t Before)
{
    // No folder set is no folder to sweep, not the working folder.
    if (Folder.empty())
        return 0;
    TUniqueFd folder(::open(Folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!folder.Valid())
        return 0;
    TUniqueFd listed(::dup(folder.Get()));
    DIR* listing = listed.Valid() ? ::fdopendir(listed.Get()) : nullptr;
    if (!listing)
        return 0;
    // The listing closes the descriptor from here on.
    listed.Release();
    int removed = 0;
    while (const dirent* entry = ::readdir(listing))
        if (Matches(entry->d_name) && IsStaleOwnFile(folder.Get(), entry->d_name, Before)
            && ::unlinkat(folder.Get(), entry->d_name, 0) == 0)
            ++removed;
    ::closedir(listing);
    return removed;
}

} // namespace elsetry
