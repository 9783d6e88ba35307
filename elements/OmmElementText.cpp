#include "elements/OmmElementText.h"

#include "elements/OmmReaders.h"
#include "elements/SharedTurns.h"

#include <atomic>
#include <optional>

namespace elsetry {

namespace {

// Records a thread reads and writes at a time.
constexpr std::size_t RecordsPerTurn = 256;
// Below this many records for each thread, starting threads costs more than it saves.
constexpr std::size_t RecordsPerThread = 2048;
// Room for the lines of a set, names being short; a longer piece grows.
constexpr std::size_t SetLinesLength = 180;

template <typename TRecord>
bool AddSet(const TRecord& Record, TOmmElementText& Sets)
{
    bool written = false;
    try {
        written = AppendElementLines(Record, Sets.Lines);
    } catch (const EOmmFormat&) {
        // A set that does not read is left out and counted, as the list drops an element set
        // whose lines do not decode; the file reads on.
        ++Sets.SkippedUnreadable;
        return false;
    }
    if (!written) {
        ++Sets.SkippedUnwritable;
        return false;
    }
    ++Sets.Sets;
    return true;
}

// One turn's records written out, and the sets in its lines.
struct TPiece {
    std::shared_ptr<std::string> Lines = std::make_shared<std::string>();
    TOmmElementText Counts;
    std::vector<TSetLines> Sets;
};

// Where a set's lines begin in its piece, which may still move as it grows.
struct TSetStart {
    std::size_t Name = 0;
    std::size_t Line1 = 0;
    std::size_t Line2 = 0;
    std::size_t End = 0;
};

bool IsNameLine(std::string_view Name)
{
    return Name != "--";
}

// The sets FindElementSets finds in the piece, told by where each was written. A written name
// line is trimmed and never blank, but "--" reads as no name and would shift the sets after it:
// a piece that holds one does not read as its sets, and the text is read whole.
bool ReadPiece(const TOmmRecordRuns& Runs, std::size_t Turn, TPiece& Piece)
{
    const std::size_t first = Turn * RecordsPerTurn;
    const std::size_t end = std::min(first + RecordsPerTurn, Runs.Count());
    TOmmElementText& counts = Piece.Counts;
    std::string& lines = counts.Lines;
    lines.reserve((end - first) * SetLinesLength);
    std::vector<TSetStart> starts;
    starts.reserve(end - first);
    const bool read = Runs.Read(first, end, [&](const TOmmRecordView& Record) {
        const std::size_t start = lines.size();
        if (AddSet(Record, counts)) {
            const std::size_t line2 = lines.size() - (WrittenElementLineLength + 1);
            starts.push_back({start, line2 - (WrittenElementLineLength + 1), line2, lines.size()});
        }
    });
    if (!read)
        return false;
    *Piece.Lines = std::move(lines);
    const std::string_view text = *Piece.Lines;
    Piece.Sets.reserve(starts.size());
    for (const TSetStart& set : starts) {
        const std::string_view name = text.substr(set.Name, set.Line1 - 1 - set.Name);
        if (!IsNameLine(name))
            return false;
        Piece.Sets.push_back({name, text.substr(set.Line1, set.Line2 - 1 - set.Line1),
                              text.substr(set.Line2, set.End - 1 - set.Line2)});
    }
    return true;
}

std::optional<TOmmElementSets> InRuns(const TOmmRecordRuns& Runs, unsigned Threads)
{
    const std::size_t turns = (Runs.Count() + RecordsPerTurn - 1) / RecordsPerTurn;
    std::vector<TPiece> pieces(turns);
    std::atomic<bool> apart{false};
    ShareOutTurns(turns, WorkThreads(Runs.Count(), Threads, RecordsPerThread), [&](std::size_t Turn, unsigned) {
        if (!apart && !ReadPiece(Runs, Turn, pieces[Turn]))
            apart = true;
    });
    if (apart)
        return std::nullopt;
    TOmmElementSets sets;
    std::size_t count = 0;
    for (const TPiece& piece : pieces)
        count += piece.Sets.size();
    sets.Sets.reserve(count);
    for (TPiece& piece : pieces) {
        sets.Sets.insert(sets.Sets.end(), piece.Sets.begin(), piece.Sets.end());
        sets.SkippedUnwritable += piece.Counts.SkippedUnwritable;
        sets.SkippedUnreadable += piece.Counts.SkippedUnreadable;
        sets.Pieces.push_back(std::move(piece.Lines));
    }
    return sets;
}

TOmmElementSets WholeText(std::string_view Text, TElementTextForm Form)
{
    TOmmElementText whole = OmmElementText(Text, Form);
    TOmmElementSets sets;
    sets.Pieces.push_back(std::make_shared<const std::string>(std::move(whole.Lines)));
    sets.Sets = FindElementSets(*sets.Pieces.front());
    sets.SkippedUnwritable = whole.SkippedUnwritable;
    sets.SkippedUnreadable = whole.SkippedUnreadable;
    return sets;
}

} // namespace

TOmmElementText OmmElementText(std::string_view Text, TElementTextForm Form)
{
    TOmmElementText result;
    result.Lines.reserve(Text.size() / 2);
    const TOmmRecordSink addSet = [&result](const TOmmRecord& Record) { AddSet(Record, result); };
    if (Form == TElementTextForm::OmmJson)
        ReadOmmJsonRecords(Text, addSet);
    else
        ReadOmmCsvRecords(Text, addSet);
    return result;
}

std::string TOmmElementSets::Lines() const
{
    std::size_t size = 0;
    for (const auto& piece : Pieces)
        size += piece->size();
    std::string lines;
    lines.reserve(size);
    for (const auto& piece : Pieces)
        lines += *piece;
    return lines;
}

// Records are found on one thread and written on all; a text whose records are not found so, or
// do not read as they do in the whole text, is read whole, so that it reads and fails as it
// always does.
TOmmElementSets OmmElementSets(std::string_view Text, TElementTextForm Form, unsigned Threads)
{
    const std::unique_ptr<TOmmRecordRuns> runs = Form == TElementTextForm::OmmJson ? OmmJsonRecordRuns(Text)
                                                                                   : OmmCsvRecordRuns(Text);
    if (runs)
        if (std::optional<TOmmElementSets> sets = InRuns(*runs, Threads))
            return std::move(*sets);
    return WholeText(Text, Form);
}

} // namespace elsetry
