#include "elementfiles/SetChanges.h"

#include "elementfiles/FolderFreshness.h"
#include "elements/OmmReaders.h"
#include "elements/OmmRecord.h"
#include "platform/AnswerLimit.h"
#include "platform/TextFile.h"
#include "text/CatalogueNumber.h"
#include "text/Lines.h"

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

std::optional<TEarlierFile> ReadEarlierFile(const std::string& Path)
{
    std::string text;
    try {
        text = ReadRegularFile(Path, AnswerLimitBytes);
    } catch (const EFileError&) {
        // Missing, unreadable or not a plain file: there is no earlier file to speak of.
        return std::nullopt;
    }
    TEarlierFile earlier;
    // A file kept in the CSV or JSON form counts by its objects, and the epochs of the sets they
    // make, one set at a time; one that does not read holds none.
    if (const TElementTextForm form = ElementTextFormOf(text); form != TElementTextForm::ElementLines) {
        std::string set;
        const TOmmRecordSink add = [&](const TOmmRecord& Record) {
            set.clear();
            try {
                if (AppendElementLines(Record, set))
                    AddLine(earlier.Epochs, SplitLines(set).at(1));
                ++earlier.Sets;
            } catch (const EOmmFormat&) {
                // A set that does not read is no set of the file, as the list leaves it out.
            }
        };
        try {
            if (form == TElementTextForm::OmmJson)
                ReadOmmJsonRecords(text, add);
            else
                ReadOmmCsvRecords(text, add);
        } catch (const EOmmFormat&) {
            return TEarlierFile{};
        }
        return earlier;
    }
    for (TLineReader lines(text); !lines.AtEnd();) {
        const std::string_view line = lines.Read();
        if (line.starts_with("1 ")) {
            ++earlier.Sets;
            AddLine(earlier.Epochs, line);
        }
    }
    return earlier;
}

TSetEpochs SetEpochsOf(std::string_view Text)
{
    TSetEpochs epochs;
    for (TLineReader lines(Text); !lines.AtEnd();)
        AddLine(epochs, lines.Read());
    return epochs;
}

std::optional<TSetChanges> ChangesFrom(const std::optional<TEarlierFile>& Earlier, const TSetEpochs& Saved)
{
    if (!Earlier)
        return std::nullopt;
    const TSetEpochs& epochs = Earlier->Epochs;
    TSetChanges changes;
    for (const auto& [number, epoch] : Saved) {
        const auto earlier = epochs.find(number);
        if (earlier == epochs.end())
            ++changes.New;
        else if (epoch > earlier->second)
            ++changes.Newer;
    }
    for (const auto& [number, epoch] : epochs)
        if (!Saved.contains(number))
            ++changes.Gone;
    return changes;
}

std::optional<int> SatellitesInFile(const std::string& Path)
{
    if (const std::optional<TEarlierFile> earlier = ReadEarlierFile(Path))
        return earlier->Sets;
    return std::nullopt;
}

} // namespace elsetry
