#include "download/FolderFreshness.h"

#include "orbit/EpochTime.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <filesystem>
#include <fstream>
#include <system_error>

namespace elsetry {

namespace {

constexpr double UnixEpochJulian = 2440587.5;
constexpr double SecondsPerDay = 86400.0;

bool IsElementFile(const std::filesystem::path& Path)
{
    std::string extension = Path.extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char C) { return static_cast<char>(std::tolower(C)); });
    return extension == ".txt" || extension == ".tle" || extension == ".2li";
}

// Columns 19-32 of a first element line hold the epoch, YYDDD.DDDDDDDD.
std::optional<double> EpochOfLine(const std::string& Line)
{
    if (Line.size() < 32 || !Line.starts_with("1 "))
        return std::nullopt;
    const char* first = Line.data() + 18;
    while (first < Line.data() + 32 && *first == ' ')
        ++first;
    double epoch = 0;
    const auto [end, error] = std::from_chars(first, Line.data() + 32, epoch);
    if (error != std::errc() || end == first || epoch < 1000.0)
        return std::nullopt;
    return EpochToJulian(epoch);
}

std::optional<double> NewestEpochInFile(const std::filesystem::path& Path)
{
    std::ifstream file(Path, std::ios::binary);
    std::optional<double> newest;
    for (std::string line; std::getline(file, line);)
        if (const std::optional<double> epoch = EpochOfLine(line); epoch && (!newest || *epoch > *newest))
            newest = epoch;
    return newest;
}

} // namespace

std::optional<double> NewestEpochIn(const std::string& Folder)
{
    std::error_code error;
    std::optional<double> newest;
    for (std::filesystem::directory_iterator entry(Folder, error), end; !error && entry != end;
         entry.increment(error)) {
        if (!entry->is_regular_file(error) || !IsElementFile(entry->path()))
            continue;
        if (const std::optional<double> epoch = NewestEpochInFile(entry->path());
            epoch && (!newest || *epoch > *newest))
            newest = epoch;
    }
    return newest;
}

std::string StaleFolderNote(const std::string& Folder, std::time_t Now)
{
    const std::optional<double> newest = NewestEpochIn(Folder);
    if (!newest)
        return {};
    const double now = static_cast<double>(Now) / SecondsPerDay + UnixEpochJulian;
    const double age = now - *newest;
    if (age <= StaleAfterDays)
        return {};
    return "The newest element sets in the folder are " + std::to_string(static_cast<long>(age)) + " days old";
}

} // namespace elsetry
