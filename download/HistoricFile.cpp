#include "download/HistoricFile.h"

#include "elements/ElementColumns.h"
#include "elements/ElementFields.h"
#include "orbit/EpochTime.h"
#include "elements/SatelliteList.h"
#include "platform/AtomicFile.h"
#include "platform/TextFile.h"
#include "text/Numbers.h"
#include "text/Strings.h"

#include <cmath>

namespace elsetry {

namespace {

struct THistoricSatellite {
    std::string_view Item;
    std::string_view CatalogueNumber;
};

constexpr THistoricSatellite HistoricSatellites[] = {
    {"FY1C", "25730"},
    {"FY1D", "27431"},
    {"ISS-Zarya", "25544"},
    {"MetOp-A", "29499"},
    {"NOAA-12", "21263"},
    {"NOAA-14", "23455"},
    {"NOAA-15", "25338"},
    {"NOAA-16", "26536"},
    {"NOAA-17", "27453"},
    {"NOAA-18", "28654"},
    {"NOAA-19", "33591"},
};

// The epoch text of the satellite's last line 1 in the file; nothing when the file holds none.
std::optional<std::string_view> LastEpochText(const TTextLines& Lines, const std::string& CatalogueNumber)
{
    const std::string prefix = "1 " + CatalogueNumber;
    for (std::size_t i = Lines.size(); i-- > 0;)
        if (Lines[i].starts_with(prefix))
            return FieldText(Lines[i], Line1::Epoch);
    return std::nullopt;
}

// A file without a set of the satellite takes any readable epoch; equal epochs are not newer.
bool IsNewerEpoch(std::string_view NewEpoch, std::optional<std::string_view> LastEpoch)
{
    const std::optional<double> newer = ChronologicalEpoch(NewEpoch);
    if (!newer)
        return false;
    if (!LastEpoch)
        return true;
    if (LastEpoch->empty())
        return false;
    const std::optional<double> last = ChronologicalEpoch(*LastEpoch);
    return last && *newer > *last;
}

} // namespace

std::optional<std::string_view> HistoricCatalogueNumber(std::string_view Item)
{
    for (const THistoricSatellite& satellite : HistoricSatellites)
        if (satellite.Item == Item)
            return satellite.CatalogueNumber;
    return std::nullopt;
}

std::optional<double> ChronologicalEpoch(std::string_view EpochText)
{
    const std::optional<double> epoch = ReadDecimal(Trim(EpochText));
    if (!epoch || !(*epoch >= 0.0 && *epoch < 100000.0))
        return std::nullopt;
    const double twoDigitYear = std::floor(*epoch / 1000.0);
    const double dayOfYear = *epoch - twoDigitYear * 1000.0;
    return (EpochYear(static_cast<int>(twoDigitYear)) - 1900) * 1000.0 + dayOfYear;
}

void UpdateHistoricFile(TSaveAndCheckHost& Host, const std::string& HistoricFileName,
                        const std::string& CatalogueNumber, const TSatelliteList& List)
{
    const std::string path = Host.HistoricDataPath() + HistoricFileName;
    if (!FileExists(path)) {
        Host.Log("      Historic file not found: " + FileNameOf(path), false);
        return;
    }
    const int index = List.IndexOfCatalogueNumber(CatalogueNumber);
    if (index < 0)
        return;
    const TSatellite& satellite = *List.GetSatellite(index);
    const TTextLines lines = ReadTextLines(path);
    if (!IsNewerEpoch(FieldText(satellite.Line1, Line1::Epoch), LastEpochText(lines, CatalogueNumber)))
        return;

    std::string text = CrLfText(lines.lines());
    AppendCrLfLine(text, satellite.Line1);
    AppendCrLfLine(text, satellite.Line2);
    try {
        ReplaceFile(path, text);
    } catch (const EFileError&) {
        // A historic file that cannot be written is skipped without a word, and stays as it was.
        return;
    }
    Host.Log("      Updated historic: " + FileNameOf(path), false);
}

} // namespace elsetry
