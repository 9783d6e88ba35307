#include "download/SaveAndCheck.h"

#include "download/ElementCheck.h"
#include "download/HistoricFile.h"
#include "elements/SatelliteList.h"
#include "platform/AtomicFile.h"
#include "platform/ProcessPriority.h"

namespace elsetry {

namespace {

// The checked items of the fixed table first, in list order, then the extra entries.
void UpdateHistoricFiles(TSaveAndCheckHost& Host, const TSatelliteList& List)
{
    for (const std::string& item : Host.CheckedHistoricItems())
        if (const auto number = HistoricCatalogueNumber(item))
            UpdateHistoricFile(Host, item + ".txt", std::string(*number), List);
    for (const std::string& entry : Host.ExtraHistoric()) {
        // "catalogue number=file name"; a line without "=" names no file.
        const std::size_t equals = entry.find('=');
        if (equals != std::string::npos)
            UpdateHistoricFile(Host, entry.substr(equals + 1), entry.substr(0, equals), List);
    }
}

void ReportCounts(TSaveAndCheckHost& Host, const std::vector<std::string>& Lines, const std::string& FileName,
                  const TSatelliteList& List)
{
    if (List.Count() != CompleteSetCount(Lines))
        Host.ShowStatus("Checking " + FileName + " data");
    for (const std::string& line : CountCheckLines(Lines, List))
        Host.Log(line, false);
}

} // namespace

void SaveAndCheck(TSaveAndCheckHost& Host, std::vector<std::string>& Lines, const std::string& FileName)
{
    RemoveCommentLines(Lines);
    if (CompleteSetCount(Lines) == 0)
        return;
    const std::string path = Host.KeplerPath() + FileName;
    ReplaceFile(path, CrLfText(Lines));
    Host.Log("   Saved: " + FileName, true);
    Host.ShowStatus("Checking " + FileName);

    const TIdlePriority idle;
    // A list of no folder, so that whatever the working folder holds cannot slip into the check.
    TSatelliteList list;
    list.LoadFromFile(path);
    UpdateHistoricFiles(Host, list);
    ReportCounts(Host, Lines, FileName, list);
}

} // namespace elsetry
