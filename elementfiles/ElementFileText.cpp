#include "elementfiles/ElementFileText.h"

#include "elementfiles/AnswerGate.h"
#include "elementfiles/FolderFreshness.h"
#include "elements/OmmReaders.h"
#include "elements/OmmRecord.h"
#include "elements/OmmWriter.h"
#include "text/CatalogueNumber.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <optional>
#include <unordered_map>

namespace elsetry {

namespace {

constexpr int LargestShortNumber = 99999;
// Element lines of an object past LargestElementLineNumber are judged under this number.
constexpr std::string_view JudgedNumber = "99999";

bool IsLongNumber(std::string_view Line1)
{
    const std::optional<int> number = CatalogueNumberValue(Line1.substr(2, 5));
    return number && *number > LargestShortNumber;
}

// A set is known by its number and epoch. The epoch its OMM fields give may stand a last digit
// apart from its element line's, where a service rounded the two each its own way.
constexpr double SameEpochDays = 1.5e-8;

std::optional<std::pair<int, double>> SetKey(std::string_view Line1)
{
    const std::optional<int> number = CatalogueNumberValue(Line1.substr(2, 5));
    const std::optional<double> epoch = EpochOfFirstLine(Line1);
    if (!number || !epoch)
        return std::nullopt;
    return std::make_pair(*number, *epoch);
}

// Whether the gate would keep the set these lines make.
bool Plausible(const std::array<std::string, 3>& Lines, std::time_t TimeOfRun)
{
    bool sound = false;
    TElementSetScanner scanner(TimeOfRun, 1, [&sound](const TScannedSet& Set) {
        sound = Set.State == TSetState::Sound;
        return true;
    });
    for (const std::string& line : Lines)
        scanner.Take(line);
    scanner.Finish();
    return sound;
}

class TOmmSelection {
public:
    TOmmSelection(const std::vector<std::string>& Lines, const TFileWriting& Writing, std::time_t TimeOfRun)
        : LeaveOut(Writing.Options.LongNumbers == TLongNumbers::LeaveOut), Time(TimeOfRun)
    {
        for (std::size_t set = 0; set + 2 < Lines.size(); set += 3)
            if (const auto key = SetKey(Lines[set + 1]))
                Wanted[key->first].push_back(key->second);
    }

    // Whether the record is written; counts it in Counts.
    bool Keeps(const TOmmRecord& Record, TFileText& Counts)
    {
        if (const std::optional<std::array<std::string, 3>> lines = ElementLinesOf(Record)) {
            if (!Take(SetKey((*lines)[1])))
                return false;
        } else if (LeaveOut) {
            ++Counts.LeftOut;
            return false;
        } else {
            TOmmRecord judged = Record;
            judged.NoradCatId = JudgedNumber;
            if (!Plausible(ElementLinesOf(judged).value(), Time)) {
                ++Counts.Implausible;
                return false;
            }
            ++Counts.PastElementLines;
        }
        ++Counts.Records;
        return true;
    }

private:
    // Whether a set of the lines has the key; it is then taken, so that each is kept once.
    bool Take(const std::optional<std::pair<int, double>>& Key)
    {
        if (!Key)
            return false;
        const auto wanted = Wanted.find(Key->first);
        if (wanted == Wanted.end())
            return false;
        std::vector<double>& epochs = wanted->second;
        const auto same = std::find_if(epochs.begin(), epochs.end(),
                                       [&](double Epoch) { return std::abs(Epoch - Key->second) < SameEpochDays; });
        if (same == epochs.end())
            return false;
        epochs.erase(same);
        return true;
    }

    // The epochs of the sets of each number.
    std::unordered_map<int, std::vector<double>> Wanted;
    bool LeaveOut;
    std::time_t Time;
};

std::vector<TOmmRecord> RecordsOfLines(const std::vector<std::string>& Lines)
{
    std::vector<TOmmRecord> records;
    records.reserve(Lines.size() / 3);
    for (std::size_t set = 0; set + 2 < Lines.size(); set += 3)
        records.push_back(OmmRecordOf(Lines[set], Lines[set + 1], Lines[set + 2]));
    return records;
}

std::vector<TOmmRecord> ReadOmm(std::string_view Text)
{
    return ElementTextFormOf(Text) == TElementTextForm::OmmJson ? ReadOmmJson(Text) : ReadOmmCsv(Text);
}

// The records to write: of the lines, or those of the service's answer that are kept.
std::vector<TOmmRecord> SelectedRecords(const std::vector<std::string>& Lines, const TFileWriting& Writing,
                                        std::time_t TimeOfRun, TFileText& File)
{
    if (Writing.OmmText.empty()) {
        std::vector<TOmmRecord> records = RecordsOfLines(Lines);
        File.Records = static_cast<int>(records.size());
        return records;
    }
    std::vector<TOmmRecord> records = ReadOmm(Writing.OmmText);
    TOmmSelection selection(Lines, Writing, TimeOfRun);
    std::erase_if(records, [&](const TOmmRecord& Record) { return !selection.Keeps(Record, File); });
    return records;
}

// CSV as the service gave it: its header and the rows kept, each ended by LineEnd.
void WriteServiceCsv(const std::vector<std::string>& Lines, const TFileWriting& Writing, std::time_t TimeOfRun,
                     TFileText& File)
{
    const std::string_view end = LineEnd(Writing.LineEnds);
    const std::vector<std::string_view> rows = OmmCsvRows(Writing.OmmText);
    const std::vector<TOmmRecord> records = ReadOmmCsv(Writing.OmmText);
    if (rows.size() != records.size() + 1)
        throw EOmmFormat("the rows of the CSV text are not its records");
    File.Text.append(rows[0]).append(end);
    TOmmSelection selection(Lines, Writing, TimeOfRun);
    for (std::size_t record = 0; record < records.size(); ++record)
        if (selection.Keeps(records[record], File))
            File.Text.append(rows[record + 1]).append(end);
}

void WriteCsv(const std::vector<TOmmRecord>& Records, std::string_view End, std::string& Text)
{
    Text.append(OmmCsvHeader).append(End);
    for (const TOmmRecord& record : Records)
        Text += OmmCsvRow(record, End);
}

// A list of objects, one a line.
void WriteJson(const std::vector<TOmmRecord>& Records, std::string_view End, std::string& Text)
{
    Text.append("[").append(End);
    for (std::size_t record = 0; record < Records.size(); ++record)
        Text.append(OmmJsonObject(Records[record])).append(record + 1 < Records.size() ? "," : "").append(End);
    Text.append("]").append(End);
}

void WriteElementLines(const std::vector<std::string>& Lines, const TFileWriting& Writing, std::string& Text)
{
    const std::string_view end = LineEnd(Writing.LineEnds);
    const bool names = Writing.Options.Form == TFileForm::ThreeLine;
    std::size_t size = 0;
    for (const std::string& line : Lines)
        size += line.size() + end.size();
    Text.reserve(size);
    for (std::size_t line = 0; line < Lines.size(); ++line)
        if (names || line % 3 != 0)
            Text.append(Lines[line]).append(end);
}

} // namespace

int LeaveOutLongNumbers(std::vector<std::string>& Lines)
{
    std::size_t kept = 0;
    int leftOut = 0;
    for (std::size_t set = 0; set + 2 < Lines.size(); set += 3) {
        if (IsLongNumber(Lines[set + 1])) {
            ++leftOut;
            continue;
        }
        if (kept != set)
            for (std::size_t line = 0; line < 3; ++line)
                Lines[kept + line] = std::move(Lines[set + line]);
        kept += 3;
    }
    Lines.resize(kept);
    return leftOut;
}

TFileText ElementFileText(const std::vector<std::string>& Lines, const TFileWriting& Writing, std::time_t TimeOfRun)
{
    TFileText file;
    const std::string_view end = LineEnd(Writing.LineEnds);
    switch (Writing.Options.Form) {
    case TFileForm::ThreeLine:
    case TFileForm::TwoLine:
        WriteElementLines(Lines, Writing, file.Text);
        break;
    case TFileForm::Csv:
        if (!Writing.OmmText.empty() && ElementTextFormOf(Writing.OmmText) == TElementTextForm::OmmCsv)
            WriteServiceCsv(Lines, Writing, TimeOfRun, file);
        else
            WriteCsv(SelectedRecords(Lines, Writing, TimeOfRun, file), end, file.Text);
        break;
    case TFileForm::Json:
        WriteJson(SelectedRecords(Lines, Writing, TimeOfRun, file), end, file.Text);
        break;
    }
    return file;
}

} // namespace elsetry
