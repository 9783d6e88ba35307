#include "elementfiles/HistoricFile.h"

#include "elements/ElementColumns.h"
#include "elements/ElementFields.h"
#include "elements/Satellite.h"
#include "orbit/EpochTime.h"
#include "orbit/SGP_Math.h"
#include "platform/AtomicFile.h"
#include "platform/TextFile.h"
#include "platform/AnswerLimit.h"
#include "text/FileNames.h"
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

// The epoch text of the satellite's last line 1 in the file, its number written as the list's
// set writes it (letter case ignored); nothing when the file holds none.
std::optional<std::string_view> LastEpochText(const TTextLines& Lines, std::string_view CatalogueNumber)
{
    for (std::size_t i = Lines.size(); i-- > 0;)
        if (Lines[i].starts_with("1 ") && SameText(FieldText(Lines[i], Line1::CatalogueNumber), CatalogueNumber))
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

// A set dated further ahead of the run than this is taken for a bad one: appended, it would stand
// as the newest set until that date and keep every real one out.
constexpr double FutureEpochDays = 1.0;

bool IsFarFuture(const TSatellite& Satellite, std::time_t TimeOfRun)
{
    const double runJulian = UnixTimeToJulian(static_cast<double>(TimeOfRun));
    return Satellite.EpochJulian > runJulian + FutureEpochDays;
}

bool IsFinite(const double (&Vector)[3])
{
    return std::isfinite(Vector[0]) && std::isfinite(Vector[1]) && std::isfinite(Vector[2]);
}

// Whether the set's orbit model sets up and gives a position at epoch and a day on: a historic
// file keeps what it is given for good, so a set that reads but does not run stays out.
bool RunsForADay(const TSatellite& Listed)
{
    TSatellite satellite;
    double position[3] = {};
    double velocity[3] = {};
    try {
        satellite.ParseElements(Listed.Line1, Listed.Line2);
        for (const double days : {0.0, 1.0}) {
            satellite.PropagateToTime(position, velocity, satellite.EpochJulian + days);
            if (!IsFinite(position) || !IsFinite(velocity))
                return false;
        }
    } catch (const EMathError&) {
        return false;
    }
    return true;
}

// Logs why the file is not updated; gives false, the run's verdict on the file.
bool LogNotUpdated(TRunLog& Host, const std::string& Name, const std::string& Reason)
{
    Host.Log("      Historic file not updated: " + EscapeControls(Name) + " (" + Reason + ")", false);
    return false;
}

void LogNotExtended(TRunLog& Host, const std::string& Path, const std::string& Reason)
{
    Host.Log("      Historic file not extended: " + EscapeControls(FileNameOf(Path)) + " (" + Reason + ")", false);
}

// The file's lines, when the file is one that may be extended; logs why not otherwise.
std::optional<TTextLines> ExtendableLines(TRunLog& Host, const std::string& Path)
{
    try {
        return TTextLines(ReadRegularFile(Path, GroupTextLimitBytes));
    } catch (const EFileError& Error) {
        LogNotUpdated(Host, FileNameOf(Path), Error.Cause());
    }
    return std::nullopt;
}

// Whether the entry at Path may be extended; logs why not otherwise, and sets Refused when
// that is a failure. A missing file is the user's choice of files to keep, and is reported as such.
bool IsExtendable(TRunLog& Host, const std::string& Path, bool& Refused)
{
    TFileKind kind = TFileKind::Missing;
    try {
        kind = FileKindAt(Path);
    } catch (const EFileError& Error) {
        Refused = !LogNotUpdated(Host, FileNameOf(Path), Error.Cause());
        return false;
    }
    if (kind == TFileKind::Missing)
        Host.LogOnce("      Historic file not found: " + EscapeControls(FileNameOf(Path)));
    else if (kind != TFileKind::Regular)
        Refused = !LogNotUpdated(Host, FileNameOf(Path), ENotRegularFile(Path, kind).Cause());
    return kind == TFileKind::Regular;
}

} // namespace

std::optional<std::string_view> HistoricCatalogueNumber(std::string_view Item)
{
    for (const THistoricSatellite& satellite : HistoricSatellites)
        if (satellite.Item == Item)
            return satellite.CatalogueNumber;
    return std::nullopt;
}

std::vector<std::string> HistoricItems()
{
    std::vector<std::string> items;
    for (const THistoricSatellite& satellite : HistoricSatellites)
        items.emplace_back(satellite.Item);
    return items;
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

namespace {

std::string CreationLine(const std::string& Folder, const std::string& Name)
{
    const std::string path = Folder + Name;
    try {
        if (CreateEmptyFile(path))
            return "Created " + Name;
        const TFileKind kind = FileKindAt(path);
        if (kind == TFileKind::Regular)
            return Name + " is there already";
        return Name + ": " + ENotRegularFile(path, kind).Cause() + ", left alone";
    } catch (const EFileError& Error) {
        return Name + " not created: " + Error.Cause();
    }
}

} // namespace

std::vector<std::string> CreateHistoricFiles(const std::string& Folder, const std::vector<std::string>& Items)
{
    std::vector<std::string> lines;
    for (const std::string& item : Items)
        if (HistoricCatalogueNumber(item))
            lines.push_back(CreationLine(Folder, item + ".txt"));
    return lines;
}

bool UpdateHistoricFile(TRunLog& Host, const TElementFolders& Folders, const std::string& HistoricFileName,
                        const TSatellite* Listed, TLineEnds LineEnds)
{
    if (!IsPlainFileName(HistoricFileName))
        return LogNotUpdated(Host, HistoricFileName, "not a plain file name");
    const std::string path = Folders.Historic + HistoricFileName;
    bool refused = false;
    if (!IsExtendable(Host, path, refused))
        return !refused;
    if (Listed == nullptr)
        return true;
    const TSatellite& satellite = *Listed;
    if (IsFarFuture(satellite, Folders.TimeOfRun)) {
        LogNotExtended(Host, path, "epoch in the future");
        return true;
    }
    const std::optional<TTextLines> lines = ExtendableLines(Host, path);
    if (!lines)
        return false;
    if (!IsNewerEpoch(FieldText(satellite.Line1, Line1::Epoch), LastEpochText(*lines, satellite.CatalogueNumber)))
        return true;
    if (!RunsForADay(satellite)) {
        LogNotExtended(Host, path, "the orbit model does not run");
        return true;
    }

    const std::string_view end = LineEnd(LineEnds);
    std::string text;
    for (const std::string_view line : lines->lines())
        text.append(line).append(end);
    text.append(satellite.Line1).append(end).append(satellite.Line2).append(end);
    try {
        ReplaceRegularFile(path, text);
    } catch (const ENotRegularFile& Error) {
        return LogNotUpdated(Host, FileNameOf(path), Error.Cause());
    } catch (const EFileError& Error) {
        return LogNotUpdated(Host, FileNameOf(path), "cannot write: " + Error.Cause());
    }
    Host.Log("      Updated historic: " + EscapeControls(FileNameOf(path)), false);
    return true;
}

} // namespace elsetry
