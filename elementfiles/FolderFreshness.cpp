#include "elementfiles/FolderFreshness.h"

#include "elements/ElementColumns.h"
#include "elements/ElementFileNames.h"
#include "orbit/EpochTime.h"

#include <algorithm>
#include <ctime>
#include <cctype>
#include <charconv>
#include <filesystem>
#include <fstream>
#include <system_error>

namespace elsetry {

namespace {

std::optional<double> NewestEpochInFile(const std::filesystem::path& Path)
{
    std::ifstream file(Path, std::ios::binary);
    std::optional<double> newest;
    for (std::string line; std::getline(file, line);)
        if (const std::optional<double> epoch = EpochOfFirstLine(line); epoch && (!newest || *epoch > *newest))
            newest = epoch;
    return newest;
}

} // namespace

std::optional<double> EpochOfFirstLine(std::string_view Line)
{
    const std::string_view field = FieldText(Line, Line1::Epoch);
    if (field.size() < Line1::Epoch.Width || !Line.starts_with("1 "))
        return std::nullopt;
    const char* first = field.data();
    const char* last = field.data() + field.size();
    while (first < last && *first == ' ')
        ++first;
    double epoch = 0;
    const auto [end, error] = std::from_chars(first, last, epoch);
    if (error != std::errc() || end == first || epoch < 1000.0)
        return std::nullopt;
    return EpochToJulian(epoch);
}

std::optional<double> NewestEpochIn(const std::string& Folder)
{
    std::error_code error;
    std::optional<double> newest;
    for (std::filesystem::directory_iterator entry(Folder, error), end; !error && entry != end;
         entry.increment(error)) {
        if (!entry->is_regular_file(error) || !IsElementFileName(entry->path().filename().string()))
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
    const double now = UnixTimeToJulian(static_cast<double>(Now));
    const double age = now - *newest;
    if (age <= StaleAfterDays)
        return {};
    return "The newest element sets in the folder are " + std::to_string(static_cast<long>(age)) + " days old";
}

std::optional<std::time_t> TimeOfDateTimeText(std::string_view Text)
{
    // "YYYY-MM-DD HH:MM UTC"
    if (Text.size() != 20 || !Text.ends_with(" UTC") || Text[4] != '-' || Text[7] != '-' || Text[10] != ' '
        || Text[13] != ':')
        return std::nullopt;
    const auto field = [&Text](std::size_t At, std::size_t Length) -> std::optional<int> {
        int value = 0;
        const char* first = Text.data() + At;
        const auto [end, error] = std::from_chars(first, first + Length, value);
        if (error != std::errc() || end != first + Length)
            return std::nullopt;
        return value;
    };
    const auto year = field(0, 4), month = field(5, 2), day = field(8, 2), hour = field(11, 2), minute = field(14, 2);
    if (!year || !month || !day || !hour || !minute || *month < 1 || *month > 12 || *day < 1 || *day > 31 || *hour > 23
        || *minute > 59)
        return std::nullopt;
    std::tm time{};
    time.tm_year = *year - 1900;
    time.tm_mon = *month - 1;
    time.tm_mday = *day;
    time.tm_hour = *hour;
    time.tm_min = *minute;
    return ::timegm(&time);
}

std::string AgeText(std::time_t Then, std::time_t Now)
{
    const std::time_t age = Now - Then;
    if (age < 0)
        return {};
    if (age < 60)
        return "just now";
    if (age < 60 * 60)
        return std::to_string(age / 60) + " min ago";
    if (age < 48 * 60 * 60)
        return std::to_string(age / (60 * 60)) + " h ago";
    return std::to_string(age / (24 * 60 * 60)) + " days ago";
}

std::string LastRunText(const std::string& Stored, std::time_t Now)
{
    if (Stored.empty())
        return "No successful run yet";
    std::string text = "Last successful run: " + Stored;
    if (const std::optional<std::time_t> then = TimeOfDateTimeText(Stored))
        if (const std::string age = AgeText(*then, Now); !age.empty())
            text += " (" + age + ")";
    return text;
}

} // namespace elsetry
