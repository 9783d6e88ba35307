#include "elementfiles/SaveAndCheck.h"

#include "elementfiles/AnswerGate.h"
#include "elementfiles/ElementCheck.h"
#include "elementfiles/GroupFailure.h"
#include "elementfiles/HistoricFile.h"
#include "elementfiles/SetChanges.h"
#include "elements/OmmRecord.h"
#include "elements/ListEntries.h"
#include "platform/AnswerLimit.h"
#include "platform/AtomicFile.h"
#include "platform/ProcessPriority.h"
#include "platform/TextFile.h"
#include "text/FileNames.h"
#include "text/Strings.h"

#include <memory>
#include <optional>

namespace elsetry {

namespace {

// The checked items of the fixed table first, in list order, then the extra entries. Gives the
// number of historic files that could not be kept.
int UpdateHistoricFiles(TRunLog& Host, const TElementFolders& Folders, TListEntries& Entries)
{
    int failures = 0;
    for (const std::string& item : Folders.CheckedHistoric)
        if (const auto number = HistoricCatalogueNumber(item))
            failures += UpdateHistoricFile(Host, Folders, item + ".txt", Entries.SatelliteOfNumber(*number)) ? 0 : 1;
    for (const std::string& entry : Folders.ExtraHistoric) {
        // "catalogue number=file name"; a line without "=" names no file.
        const std::size_t equals = entry.find('=');
        if (equals != std::string::npos) {
            const TSatellite* listed = Entries.SatelliteOfNumber(std::string_view(entry).substr(0, equals));
            failures += UpdateHistoricFile(Host, Folders, entry.substr(equals + 1), listed) ? 0 : 1;
        }
    }
    return failures;
}

void ReportCounts(TRunLog& Host, int Sets, std::string_view Text, const std::string& FileName,
                  const TListEntries& Entries)
{
    if (Entries.Count() != Sets)
        Host.ShowStatus("Checking " + EscapeControls(FileName) + " data");
    for (const std::string& line : CountCheckLines(Text, Entries))
        Host.Log(line, false);
}

// Refuses what must not be written at all: a name that leaves the folder and a text past the
// bounds of one answer.
void RefuseUnfitText(const std::vector<std::string>& Lines, const std::string& FileName)
{
    if (!IsPlainFileName(FileName))
        throw EGroupFailed("not a plain file name");
    if (Lines.size() > GroupLineLimit)
        throw EGroupFailed("too large");
    std::size_t bytes = 0;
    for (const std::string& line : Lines)
        bytes += line.size() + 2;
    if (bytes > GroupTextLimitBytes)
        throw EGroupFailed("too large");
}

// The text written beside the group file, not yet in its place. A link or special file in the
// group file's place, or a folder that cannot be written, fails the group.
void WriteBeside(std::optional<TFileReplacement>& Replacement, const std::string& Path, const std::string& Text)
{
    try {
        Replacement.emplace(Path);
        Replacement->Write(Text);
    } catch (const ENotRegularFile& Error) {
        throw EGroupFailed(Error.Cause());
    } catch (const EFileError& Error) {
        throw EGroupFailed("cannot write: " + Error.Cause());
    }
}

// Puts the checked text in the group file's place; a full disk shows here at the latest.
void CommitChecked(TFileReplacement& Replacement)
{
    try {
        Replacement.Commit();
    } catch (const EFileError& Error) {
        throw EGroupFailed("cannot write: " + Error.Cause());
    }
}

} // namespace

TSaveResult SaveAndCheck(TRunLog& Host, const TElementFolders& Folders, std::vector<std::string>&& Lines,
                         const std::string& FileName, TAnswerQuestion Question)
{
    RefuseUnfitText(Lines, FileName);
    const std::size_t received = Lines.size();
    RemoveCommentLines(Lines);
    if (CompleteSetCount(Lines) == 0)
        throw EGroupFailed("not element sets");
    const std::string path = Folders.Group + FileName;
    if (!Question.IsList && !Question.EarlierSets)
        Question.EarlierSets = static_cast<std::size_t>(SatellitesInFile(path).value_or(0));
    const TGateReport gate = PassGate(Lines, 1 + received - Lines.size(), Folders.TimeOfRun, Question);
    const auto text = std::make_shared<const std::string>(CrLfText(Lines));
    const int sets = CompleteSetCount(Lines);
    std::vector<std::string>().swap(Lines);
    // The list would read sets in the CSV or JSON form too, but the folder's readers expect
    // element lines.
    if (ElementTextFormOf(*text) != TElementTextForm::ElementLines)
        throw EGroupFailed("not element sets");
    std::optional<TFileReplacement> replacement;
    WriteBeside(replacement, path, *text);

    // The check reads the text as written, from memory: the temporary's name is in a folder
    // others may write to, and what they put there must not be what is checked. The entries a
    // list of no folder makes of it, so that whatever the working folder holds cannot slip into
    // the check either, and not every satellite at once, so that the check takes memory in
    // proportion to the text.
    std::optional<TListEntries> entries;
    {
        const TIdlePriority idle;
        entries.emplace(text, path);
    }
    if (!ReadsAsElementSets(*text, entries->Decoded()))
        throw EGroupFailed("not element sets");
    CommitChecked(*replacement);
    Host.Log("   Saved: " + EscapeControls(FileName), true);
    Host.ShowStatus("Checking " + EscapeControls(FileName));
    for (const std::string& line : gate.LogLines())
        Host.Log(line, false);

    const TIdlePriority idle;
    TSaveResult result{sets, UpdateHistoricFiles(Host, Folders, *entries), text};
    ReportCounts(Host, sets, *text, FileName, *entries);
    return result;
}

} // namespace elsetry
