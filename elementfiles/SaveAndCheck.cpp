#include "elementfiles/SaveAndCheck.h"

#include "elementfiles/AnswerGate.h"
#include "elementfiles/ElementCheck.h"
#include "elementfiles/GroupFailure.h"
#include "elementfiles/HistoricFile.h"
#include "elementfiles/SetChanges.h"
#include "elements/OmmElementText.h"
#include "elements/OmmRecord.h"
#include "elements/ListEntries.h"
#include "platform/AnswerLimit.h"
#include "platform/AtomicFile.h"
#include "platform/ProcessPriority.h"
#include "platform/TextFile.h"
#include "text/FileNames.h"
#include "text/Lines.h"
#include "text/Strings.h"

#include <memory>
#include <optional>

namespace elsetry {

namespace {

// The checked items of the fixed table first, in list order, then the extra entries. Gives the
// number of historic files that could not be kept.
int UpdateHistoricFiles(TRunLog& Host, const TElementFolders& Folders, TListEntries& Entries, TLineEnds LineEnds)
{
    int failures = 0;
    for (const std::string& item : Folders.CheckedHistoric)
        if (const auto number = HistoricCatalogueNumber(item))
            failures += UpdateHistoricFile(Host, Folders, item + ".txt", Entries.SatelliteOfNumber(*number), LineEnds)
                            ? 0
                            : 1;
    for (const std::string& entry : Folders.ExtraHistoric) {
        // "catalogue number=file name"; a line without "=" names no file.
        const std::size_t equals = entry.find('=');
        if (equals != std::string::npos) {
            const TSatellite* listed = Entries.SatelliteOfNumber(std::string_view(entry).substr(0, equals));
            failures += UpdateHistoricFile(Host, Folders, entry.substr(equals + 1), listed, LineEnds) ? 0 : 1;
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

constexpr const char* AllLeftOutReason = "every set is numbered past 99999, left out as chosen for this file";

TFileText WrittenText(const std::vector<std::string>& Lines, const TFileWriting& Writing, std::time_t TimeOfRun)
{
    try {
        return ElementFileText(Lines, Writing, TimeOfRun);
    } catch (const EOmmFormat&) {
        throw EGroupFailed("not element sets");
    }
}

// The element text the check loads of the file as written: the file itself in the three-line
// form; in the two-line form, its lines with the names of Sets (the sets written), once they are
// found to be those sets' element lines; the element lines of a CSV or JSON file's objects, once
// they are found to be as many as the sets written and every other object is found to read.
std::shared_ptr<const std::string> CheckedText(const TFileText& File, TFileForm Form,
                                               const std::shared_ptr<const std::string>& Written,
                                               const std::shared_ptr<const std::string>& Sets, int SetCount,
                                               std::size_t LinesSize)
{
    if (Form == TFileForm::ThreeLine)
        return Written;
    if (Form == TFileForm::TwoLine) {
        TLineReader file(*Written);
        TLineReader sets(*Sets);
        for (std::size_t line = 0; !sets.AtEnd(); ++line) {
            const std::string_view set = sets.Read();
            if (line % 3 != 0 && file.Read() != set)
                throw EGroupFailed("not element sets");
        }
        if (!file.AtEnd())
            throw EGroupFailed("not element sets");
        return Sets;
    }
    try {
        const TElementTextForm omm = Form == TFileForm::Csv ? TElementTextForm::OmmCsv : TElementTextForm::OmmJson;
        // Read into one text of the size the lines take: lines written on every core would take
        // twice that while they are joined, more than a full catalogue's check may.
        TOmmElementText read = OmmElementText(*Written, omm, LinesSize);
        if (read.SkippedUnreadable != 0 || read.Sets != SetCount || read.SkippedUnwritable != File.PastElementLines)
            throw EGroupFailed("not element sets");
        return std::make_shared<const std::string>(std::move(read.Lines));
    } catch (const EOmmFormat&) {
        throw EGroupFailed("not element sets");
    }
}

// Why an answer of objects past element lines alone keeps none.
std::string NoObjectKeptReason(const TFileText& File)
{
    if (File.LeftOut > 0)
        return AllLeftOutReason;
    if (File.Implausible > 0)
        return "no plausible set";
    if (File.NotAsked > 0)
        return "none of the numbers asked for";
    return "not element sets";
}

// What the file's form kept and left out besides what the gate did.
void LogFormCounts(TRunLog& Host, int LeftOut, const TFileText& File)
{
    if (LeftOut > 0)
        Host.Log("      " + std::to_string(LeftOut) + " sets numbered past 99999 left out, as chosen for this file",
                 false);
    if (File.Implausible > 0)
        Host.Log("      " + std::to_string(File.Implausible) + " sets numbered past 339999 left out as implausible",
                 false);
    if (File.NotAsked > 0)
        Host.Log("      " + std::to_string(File.NotAsked) + " sets numbered past 339999 not asked for left out", false);
    if (File.PastElementLines > 0)
        Host.Log("      " + std::to_string(File.PastElementLines)
                     + " sets numbered past 339999 kept, which element lines cannot hold",
                 false);
}

} // namespace

TSaveResult SaveAndCheck(TRunLog& Host, const TElementFolders& Folders, std::vector<std::string>&& Lines,
                         const std::string& FileName, TAnswerQuestion Question, TFileWriting Writing)
{
    RefuseUnfitText(Lines, FileName);
    const std::size_t received = Lines.size();
    RemoveCommentLines(Lines);
    const TFileForm form = Writing.Options.Form;
    const bool omm = form == TFileForm::Csv || form == TFileForm::Json;
    // An answer whose objects are all numbered past 339999 has no element lines; its objects are
    // judged as the file is written.
    const bool pastElementLinesOnly = omm && Lines.empty() && !Writing.OmmText.empty();
    if (!pastElementLinesOnly && CompleteSetCount(Lines) == 0)
        throw EGroupFailed("not element sets");
    const std::string path = Folders.Group + FileName;
    if (!Question.IsList && !Question.EarlierSets)
        Question.EarlierSets = static_cast<std::size_t>(SatellitesInFile(path).value_or(0));
    TGateReport gate;
    if (!pastElementLinesOnly)
        gate = PassGate(Lines, 1 + received - Lines.size(), Folders.TimeOfRun, Question);
    const bool leaveOut = Writing.Options.LongNumbers == TLongNumbers::LeaveOut;
    const int leftOutSets = leaveOut ? LeaveOutLongNumbers(Lines) : 0;
    if (Lines.empty() && !pastElementLinesOnly)
        throw EGroupFailed(AllLeftOutReason);
    // The list would read sets in the CSV or JSON form too, but the folder's readers expect
    // element lines.
    if (!Lines.empty() && ElementTextFormOf(Lines.front()) != TElementTextForm::ElementLines)
        throw EGroupFailed("not element sets");
    if (Question.IsList)
        Writing.AskedNumbers = &Question.Numbers;
    TFileText file = WrittenText(Lines, Writing, Folders.TimeOfRun);
    std::string().swap(Writing.OmmText);
    if (pastElementLinesOnly && file.Records == 0)
        throw EGroupFailed(NoObjectKeptReason(file));
    // The earlier file counts its objects past element lines too.
    if (pastElementLinesOnly)
        RefuseShrunkGroup(static_cast<std::size_t>(file.Records), Question);
    auto written = std::make_shared<const std::string>(std::move(file.Text));
    // The default form is the element lines as ever: one text serves as both. A CSV or JSON file's
    // are the element lines read back from it, made below.
    const bool plain = form == TFileForm::ThreeLine && Writing.LineEnds == TLineEnds::CrLf;
    std::shared_ptr<const std::string> text;
    if (!omm)
        text = plain ? written : std::make_shared<const std::string>(CrLfText(Lines));
    const int sets = CompleteSetCount(Lines);
    // Room for the lines a CSV or JSON file reads back as, so that they are made without a copy.
    std::size_t linesSize = 0;
    for (const std::string& line : Lines)
        linesSize += line.size() + 2;
    std::vector<std::string>().swap(Lines);
    std::optional<TFileReplacement> replacement;
    WriteBeside(replacement, path, *written);

    // The check reads the text as written, from memory: the temporary's name is in a folder
    // others may write to, and what they put there must not be what is checked. The entries a
    // list of no folder makes of it, so that whatever the working folder holds cannot slip into
    // the check either, and not every satellite at once, so that the check takes memory in
    // proportion to the text.
    const std::shared_ptr<const std::string> checked = CheckedText(file, form, written, text, sets,
                                                                   omm ? linesSize : 0);
    if (omm)
        text = checked;
    // The temporary holds the file now; what is checked is all that stays in memory.
    if (checked != written)
        written.reset();
    std::optional<TListEntries> entries;
    {
        const TIdlePriority idle;
        entries.emplace(checked, path);
    }
    // Objects past element lines were read back by CheckedText; there are no lines besides.
    if (!pastElementLinesOnly && !ReadsAsElementSets(*checked, entries->Decoded()))
        throw EGroupFailed("not element sets");
    CommitChecked(*replacement);
    Host.Log("   Saved: " + EscapeControls(FileName), true);
    Host.ShowStatus("Checking " + EscapeControls(FileName));
    for (const std::string& line : gate.LogLines())
        Host.Log(line, false);
    LogFormCounts(Host, leftOutSets + file.LeftOut, file);

    const TIdlePriority idle;
    TSaveResult result{sets, UpdateHistoricFiles(Host, Folders, *entries, Writing.LineEnds), text,
                       std::move(file.PastNumbers)};
    // The objects past element lines were counted above; there are no satellites to count here.
    if (!pastElementLinesOnly)
        ReportCounts(Host, sets, *checked, FileName, *entries);
    return result;
}

} // namespace elsetry
