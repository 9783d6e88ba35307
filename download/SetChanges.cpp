#include "download/SetChanges.h"

#include "download/FolderFreshness.h"
#include "text/CatalogueNumber.h"
#include "text/Lines.h"

#include <filesystem>
#include <fstream>
#include <string_view>

namespace elsetry {

namespace {

// Columns 3-7 of a first element line hold the number.
void AddLine(TSetEpochs& Epochs, std::string_view Line)
{
    const std::optional<double> epoch = EpochOfFirstLine(Line);
    if (!epoch)
        return;
    const std::optional<int> number = CatalogueNumberValue(Line.substr(2, 5));
    if (!number)
        return;
    const auto [entry, added] = Epochs.try_emplace(*number, *epoch);
    if (!added && *epoch > entry->second)
        entry->second = *epoch;
}

} // namespace

std::optional<TSetEpochs> ReadSetEpochs(const std::string& Path)
{
    std::error_code error;
    if (std::filesystem::symlink_status(Path, error).type() != std::filesystem::file_type::regular)
        return std::nullopt;
    std::ifstream file(Path, std::ios::binary);
    if (!file)
        return std::nullopt;
    TSetEpochs epochs;
    for (std::string line; std::getline(file, line);)
        AddLine(epochs, line);
    return epochs;
}

TSetEpochs SetEpochsOf(std::string_view Text)
{
    TSetEpochs epochs;
    for (TLineReader lines(Text); !lines.AtEnd();)
        AddLine(epochs, lines.Read());
    return epochs;
}

std::optional<TSetChanges> ChangesFrom(const std::optional<TSetEpochs>& Earlier, const TSetEpochs& Saved)
{
    if (!Earlier)
        return std::nullopt;
    TSetChanges changes;
    for (const auto& [number, epoch] : Saved) {
        const auto earlier = Earlier->find(number);
        if (earlier == Earlier->end())
            ++changes.New;
        else if (epoch > earlier->second)
            ++changes.Newer;
    }
    for (const auto& [number, epoch] : *Earlier)
        if (!Saved.contains(number))
            ++changes.Gone;
    return changes;
}

} // namespace elsetry
