#include "elementfiles/ElementFileText.h"

#include "elementfiles/AnswerGate.h"
#include "elementfiles/FolderFreshness.h"
#include "elements/OmmReaders.h"
#include "elements/OmmRecord.h"
#include "elements/OmmWriter.h"
#include "text/CatalogueNumber.h"
#include "text/Strings.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <limits>
#include <optional>

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

// A number written as plain digits, as the services write catalogue numbers.
std::optional<long> PlainNumber(std::string_view Text)
{
    Text = Trim(Text);
    long number = 0;
    const auto [end, error] = std::from_chars(Text.data(), Text.data() + Text.size(), number);
    if (error != std::errc() || end != Text.data() + Text.size())
        return std::nullopt;
    return number;
}

class TOmmSelection {
public:
    TOmmSelection(const std::vector<std::string>& Lines, const TFileWriting& Writing, std::time_t TimeOfRun)
        : LeaveOut(Writing.Options.LongNumbers == TLongNumbers::LeaveOut), Asked(Writing.AskedNumbers), Time(TimeOfRun)
    {
        Wanted.reserve(Lines.size() / 3);
        for (std::size_t set = 0; set + 2 < Lines.size(); set += 3)
            if (const auto key = SetKey(Lines[set + 1]))
                Wanted.push_back({key->first, key->second, false});
        std::sort(Wanted.begin(), Wanted.end(), [](const TWanted& A, const TWanted& B) { return A.Number < B.Number; });
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
            const std::optional<long> number = PlainNumber(Record.NoradCatId);
            if (!AskedFor(number)) {
                ++Counts.NotAsked;
                return false;
            }
            TOmmRecord judged = Record;
            judged.NoradCatId = JudgedNumber;
            if (!Plausible(ElementLinesOf(judged).value(), Time)) {
                ++Counts.Implausible;
                return false;
            }
            ++Counts.PastElementLines;
            if (number)
                Counts.PastNumbers.push_back(*number);
        }
        ++Counts.Records;
        return true;
    }

private:
    // Whether the list asked for the number; any is, for a group.
    bool AskedFor(const std::optional<long>& Number) const
    {
        return !Asked
               || (Number && *Number <= std::numeric_limits<int>::max() && Asked->contains(static_cast<int>(*Number)));
    }

    struct TWanted {
        int Number;
        double Epoch;
        bool Taken;
    };

    // Whether a set of the lines has the key; it is then taken, so that each is kept once.
    bool Take(const std::optional<std::pair<int, double>>& Key)
    {
        if (!Key)
            return false;
        auto set = std::lower_bound(Wanted.begin(), Wanted.end(), Key->first,
                                    [](const TWanted& Set, int Number) { return Set.Number < Number; });
        for (; set != Wanted.end() && set->Number == Key->first; ++set)
            if (!set->Taken && std::abs(set->Epoch - Key->second) < SameEpochDays) {
                set->Taken = true;
                return true;
            }
        return false;
    }

    // The sets of the lines by number.
    std::vector<TWanted> Wanted;
    bool LeaveOut;
    const std::set<int>* Asked;
    std::time_t Time;
};

// Each record to write, in order: of the lines, or those of the service's answer that are kept.
void ForSelectedRecords(const std::vector<std::string>& Lines, const TFileWriting& Writing, std::time_t TimeOfRun,
                        TFileText& File, const TOmmRecordSink& Write)
{
    if (Writing.OmmText.empty()) {
        for (std::size_t set = 0; set + 2 < Lines.size(); set += 3) {
            Write(OmmRecordOf(Lines[set], Lines[set + 1], Lines[set + 2]));
            ++File.Records;
        }
        return;
    }
    TOmmSelection selection(Lines, Writing, TimeOfRun);
    const TOmmRecordSink keep = [&](const TOmmRecord& Record) {
        if (selection.Keeps(Record, File))
            Write(Record);
    };
    if (ElementTextFormOf(Writing.OmmText) == TElementTextForm::OmmJson)
        ReadOmmJsonRecords(Writing.OmmText, keep);
    else
        ReadOmmCsvRecords(Writing.OmmText, keep);
}

// CSV as the service gave it: its header and the rows kept, each ended by LineEnd.
void WriteServiceCsv(const std::vector<std::string>& Lines, const TFileWriting& Writing, std::time_t TimeOfRun,
                     TFileText& File)
{
    const std::string_view end = LineEnd(Writing.LineEnds);
    const std::vector<std::string_view> rows = OmmCsvRows(Writing.OmmText);
    File.Text.reserve(Writing.OmmText.size());
    File.Text.append(rows.at(0)).append(end);
    TOmmSelection selection(Lines, Writing, TimeOfRun);
    std::size_t row = 1;
    ReadOmmCsvRecords(Writing.OmmText, [&](const TOmmRecord& Record) {
        if (row >= rows.size())
            throw EOmmFormat("the rows of the CSV text are not its records");
        if (selection.Keeps(Record, File))
            File.Text.append(rows[row]).append(end);
        ++row;
    });
    if (row != rows.size())
        throw EOmmFormat("the rows of the CSV text are not its records");
}

void WriteCsv(const std::vector<std::string>& Lines, const TFileWriting& Writing, std::time_t TimeOfRun,
              TFileText& File)
{
    const std::string_view end = LineEnd(Writing.LineEnds);
    File.Text.append(OmmCsvHeader).append(end);
    ForSelectedRecords(Lines, Writing, TimeOfRun, File,
                       [&](const TOmmRecord& Record) { File.Text += OmmCsvRow(Record, end); });
}

// An object's text with each line break in it (blanks between its tokens: a JSON string holds
// none) made LineEnd.
void AppendWithLineEnds(std::string& Text, std::string_view Object, std::string_view LineEnd)
{
    for (std::size_t at = Object.find_first_of("\r\n"); at != std::string_view::npos;
         at = Object.find_first_of("\r\n")) {
        Text.append(Object.substr(0, at)).append(LineEnd);
        Object.remove_prefix(Object.compare(at, 2, "\r\n") == 0 ? at + 2 : at + 1);
    }
    Text.append(Object);
}

// A list of objects, one a line: the service's own objects, all their fields as it wrote them,
// when its answer is JSON; otherwise objects of the mean-element fields.
void WriteJson(const std::vector<std::string>& Lines, const TFileWriting& Writing, std::time_t TimeOfRun,
               TFileText& File)
{
    const std::string_view end = LineEnd(Writing.LineEnds);
    File.Text.append("[");
    bool first = true;
    const auto next = [&] {
        File.Text.append(first ? "" : ",").append(end);
        first = false;
    };
    if (!Writing.OmmText.empty() && ElementTextFormOf(Writing.OmmText) == TElementTextForm::OmmJson) {
        // Room for a line end after each object where the answer has none, so that the text
        // is not grown to twice its size for the last few.
        File.Text.reserve(Writing.OmmText.size() + Writing.OmmText.size() / 32);
        TOmmSelection selection(Lines, Writing, TimeOfRun);
        ReadOmmJsonObjects(Writing.OmmText, [&](const TOmmRecord& Record, std::string_view Object) {
            if (!selection.Keeps(Record, File))
                return;
            next();
            AppendWithLineEnds(File.Text, Object, end);
        });
    } else {
        ForSelectedRecords(Lines, Writing, TimeOfRun, File, [&](const TOmmRecord& Record) {
            next();
            File.Text.append(OmmJsonObject(Record));
        });
    }
    File.Text.append(end).append("]").append(end);
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
    switch (Writing.Options.Form) {
    case TFileForm::ThreeLine:
    case TFileForm::TwoLine:
        WriteElementLines(Lines, Writing, file.Text);
        break;
    case TFileForm::Csv:
        if (!Writing.OmmText.empty() && ElementTextFormOf(Writing.OmmText) == TElementTextForm::OmmCsv)
            WriteServiceCsv(Lines, Writing, TimeOfRun, file);
        else
            WriteCsv(Lines, Writing, TimeOfRun, file);
        break;
    case TFileForm::Json:
        WriteJson(Lines, Writing, TimeOfRun, file);
        break;
    }
    return file;
}

} // namespace elsetry
