#include "elements/OmmElementText.h"

#include <algorithm>

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

void AddSet(const TOmmRecord& Record, TOmmElementText& Sets)
{
    bool written = false;
    try {
        written = AppendElementLines(Record, Sets.Lines);
    } catch (const EOmmFormat&) {
        // A set that does not read is left out and counted, as the list drops an element set
        // whose lines do not decode; the file reads on.
        ++Sets.SkippedUnreadable;
        return;
    }
    if (!written) {
        ++Sets.SkippedUnwritable;
        return;
    }
    ++Sets.Sets;
}

// One turn's records written out, and the sets found in its lines.
struct TPiece {
    std::shared_ptr<std::string> Lines = std::make_shared<std::string>();
    TOmmElementText Counts;
    std::vector<TSetLines> Sets;
};

// A piece reads as the same sets in the whole text only when every set it wrote is found there
// as its three lines (a name line that reads as no name, "--", would shift the sets after it).
bool ReadPiece(const TOmmRecordRuns& Runs, std::size_t Turn, TPiece& Piece)
{
    const std::size_t first = Turn * RecordsPerTurn;
    const std::size_t end = std::min(first + RecordsPerTurn, Runs.Count());
    TOmmElementText& counts = Piece.Counts;
    counts.Lines.reserve((end - first) * SetLinesLength);
    if (!Runs.Read(first, end, [&counts](const TOmmRecord& Record) { AddSet(Record, counts); }))
        return false;
    *Piece.Lines = std::move(counts.Lines);
    Piece.Sets = FindElementSets(*Piece.Lines);
    return Piece.Sets.size() == static_cast<std::size_t>(counts.Sets);
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

TOmmElementText OmmElementText(std::string_view Text, TElementTextForm Form, std::size_t LinesSize)
{
    TOmmElementText result;
    result.Lines.reserve(std::max(Text.size() / 2, LinesSize));
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
