#include "elements/OmmElementText.h"

#include "elements/OmmReaders.h"
#include "elements/SharedTurns.h"
#include "platform/LargeMemory.h"

#include <algorithm>
#include <atomic>
#include <optional>

namespace elsetry {

namespace {

// Records a thread reads and writes at a time.
constexpr std::size_t RecordsPerTurn = 256;
// Below this many records for each thread, starting threads costs more than it saves.
constexpr std::size_t RecordsPerThread = 2048;
// Room for the lines of a set, names being short.
constexpr std::size_t SetLinesLength = 180;

// Lines of a set are appended to Lines, the set counted in Counts.
template <typename TRecord>
bool AddSet(const TRecord& Record, std::string& Lines, TOmmElementText& Counts)
{
    bool written = false;
    try {
        written = AppendElementLines(Record, Lines);
    } catch (const EOmmFormat&) {
        // A set that does not read is left out and counted, as the list drops an element set
        // whose lines do not decode; the file reads on.
        ++Counts.SkippedUnreadable;
        return false;
    }
    if (!written) {
        ++Counts.SkippedUnwritable;
        return false;
    }
    ++Counts.Sets;
    return true;
}

// Where a set's lines begin in the text of the thread that wrote it, which may still move as it
// grows.
struct TSetStart {
    std::size_t Name = 0;
    std::size_t Line1 = 0;
    std::size_t Line2 = 0;
    std::size_t End = 0;
};

// One turn's records: which thread wrote them, where in its text, and where each set stands.
struct TTurnLines {
    unsigned Thread = 0;
    std::size_t Begin = 0;
    std::size_t End = 0;
    std::vector<TSetStart> Starts;
    TOmmElementText Counts; // its Lines unused
};

// Each thread writes every turn it takes into one text of its own, its pages made present at
// once in huge pages where the kernel has them, rather than a small page at a time as a text
// for each turn would fault them in.
class TThreadTexts {
public:
    TThreadTexts(unsigned Threads, std::size_t Records) : Texts(Threads), Room(RoomFor(Threads, Records)) {}

    std::string& Of(unsigned Thread)
    {
        std::shared_ptr<std::string>& text = Texts[Thread];
        if (!text) {
            text = std::make_shared<std::string>();
            text->reserve(Room);
            PrepareLargeBuffer(text->data(), Room);
        }
        return *text;
    }
    const std::string& Written(unsigned Thread) const { return *Texts[Thread]; }
    // The texts written, for whoever views them to keep.
    std::vector<std::shared_ptr<const std::string>> Taken()
    {
        std::vector<std::shared_ptr<const std::string>> taken;
        for (std::shared_ptr<std::string>& text : Texts)
            if (text)
                taken.push_back(std::move(text));
        return taken;
    }

private:
    // A thread's share and a few turns more; a text that needs more grows.
    static std::size_t RoomFor(unsigned Threads, std::size_t Records)
    {
        return (Records / Threads + 4 * RecordsPerTurn) * SetLinesLength;
    }

    std::vector<std::shared_ptr<std::string>> Texts;
    std::size_t Room;
};

// False when the turn's records do not read as a reading of the whole text reads them.
bool ReadTurn(const TOmmRecordRuns& Runs, std::size_t Turn, unsigned Thread, std::string& Lines, TTurnLines& Written)
{
    const std::size_t first = Turn * Runs.RecordsPerTurn();
    const std::size_t end = std::min(first + Runs.RecordsPerTurn(), Runs.Count());
    Written.Begin = Lines.size();
    Written.Starts.reserve(end - first);
    const TOmmViewSink addSet = [&](const TOmmRecordView& Record) {
        const std::size_t start = Lines.size();
        if (AddSet(Record, Lines, Written.Counts)) {
            const std::size_t line2 = Lines.size() - (WrittenElementLineLength + 1);
            Written.Starts.push_back({start, line2 - (WrittenElementLineLength + 1), line2, Lines.size()});
        }
    };
    const bool read = Runs.Read(first, end, addSet, Thread);
    Written.End = Lines.size();
    return read;
}

bool IsNameLine(std::string_view Name)
{
    return Name != "--";
}

// The sets FindElementSets finds in the turns' lines one after the other, told by where each
// was written. A written name line is trimmed and never blank, but "--" reads as no name and
// would shift the sets after it: lines that hold one do not read as their sets, and the text is
// read whole.
bool AddTurnSets(const std::vector<TTurnLines>& Turns, const TThreadTexts& Texts, TOmmElementSets& Sets)
{
    std::size_t count = 0;
    for (const TTurnLines& turn : Turns)
        count += turn.Starts.size();
    Sets.Sets.reserve(count);
    for (const TTurnLines& turn : Turns) {
        const std::string_view text = Texts.Written(turn.Thread);
        if (turn.End > turn.Begin)
            Sets.Runs.push_back(text.substr(turn.Begin, turn.End - turn.Begin));
        for (const TSetStart& set : turn.Starts) {
            const std::string_view name = text.substr(set.Name, set.Line1 - 1 - set.Name);
            if (!IsNameLine(name))
                return false;
            Sets.Sets.push_back({name, text.substr(set.Line1, set.Line2 - 1 - set.Line1),
                                 text.substr(set.Line2, set.End - 1 - set.Line2)});
        }
        Sets.SkippedUnwritable += turn.Counts.SkippedUnwritable;
        Sets.SkippedUnreadable += turn.Counts.SkippedUnreadable;
    }
    return true;
}

// The lines of the records of one set of runs after another, each thread's in a text of its own.
class TLinesWriter {
public:
    TLinesWriter(unsigned Threads, std::size_t Records) : ThreadCount(Threads), Texts(Threads, Records) {}

    // False when the records do not read as a reading of the whole text reads them.
    bool Write(const TOmmRecordRuns& Runs)
    {
        const std::size_t first = Written.size();
        const std::size_t turns = (Runs.Count() + Runs.RecordsPerTurn() - 1) / Runs.RecordsPerTurn();
        Written.resize(first + turns);
        std::atomic<bool> apart{false};
        ShareOutTurns(turns, ThreadCount, [&](std::size_t Turn, unsigned Thread) {
            Written[first + Turn].Thread = Thread;
            if (!apart && !ReadTurn(Runs, Turn, Thread, Texts.Of(Thread), Written[first + Turn]))
                apart = true;
        });
        return !apart;
    }

    std::optional<TOmmElementSets> Sets()
    {
        TOmmElementSets sets;
        if (!AddTurnSets(Written, Texts, sets))
            return std::nullopt;
        sets.Pieces = Texts.Taken();
        return sets;
    }

private:
    unsigned ThreadCount;
    TThreadTexts Texts;
    std::vector<TTurnLines> Written;
};

std::optional<TOmmElementSets> InRuns(const TOmmRecordRuns& Runs, unsigned Threads)
{
    TLinesWriter writer(WorkThreads(Runs.Records(), Threads, RecordsPerThread), Runs.Records());
    if (!writer.Write(Runs))
        return std::nullopt;
    return writer.Sets();
}

TOmmElementSets WholeText(std::string_view Text, TElementTextForm Form)
{
    TOmmElementText whole = OmmElementText(Text, Form);
    TOmmElementSets sets;
    sets.Pieces.push_back(std::make_shared<const std::string>(std::move(whole.Lines)));
    sets.Runs.push_back(*sets.Pieces.front());
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
    const TOmmRecordSink addSet = [&result](const TOmmRecord& Record) { AddSet(Record, result.Lines, result); };
    if (Form == TElementTextForm::OmmJson)
        ReadOmmJsonRecords(Text, addSet);
    else
        ReadOmmCsvRecords(Text, addSet);
    return result;
}

std::string TOmmElementSets::Lines() const
{
    std::size_t size = 0;
    for (const std::string_view run : Runs)
        size += run.size();
    std::string lines;
    lines.reserve(size);
    PrepareLargeBuffer(lines.data(), size);
    for (const std::string_view run : Runs)
        lines += run;
    return lines;
}

std::optional<TOmmElementSets> OmmJsonElementSetsInPieces(TJsonListPieces& Pieces, unsigned Threads)
{
    std::unique_ptr<TOmmRecordRuns> runs = Pieces.Next();
    if (!runs)
        return std::nullopt;
    // The records of the whole text, as many as the first piece's for its length.
    const std::size_t records = std::max(runs->Records(),
                                         runs->Records() * Pieces.Size() / std::max<std::size_t>(1, Pieces.Read()));
    TLinesWriter writer(WorkThreads(records, Threads, RecordsPerThread), records);
    for (; runs; runs = Pieces.Next())
        if (!writer.Write(*runs))
            return std::nullopt;
    if (Pieces.Failed())
        return std::nullopt;
    return writer.Sets();
}

// Records are found on one thread and written on all; a text whose records are not found so, or
// do not read as they do in the whole text, is read whole, so that it reads and fails as it
// always does.
TOmmElementSets OmmElementSets(std::string_view Text, TElementTextForm Form, unsigned Threads)
{
    if (Form == TElementTextForm::OmmJson)
        if (const std::unique_ptr<TOmmRecordRuns> parts = OmmJsonPartRuns(Text))
            if (std::optional<TOmmElementSets> sets = InRuns(*parts, Threads))
                return std::move(*sets);
    const std::unique_ptr<TOmmRecordRuns> runs = Form == TElementTextForm::OmmJson ? OmmJsonRecordRuns(Text, Threads)
                                                                                   : OmmCsvRecordRuns(Text);
    if (runs)
        if (std::optional<TOmmElementSets> sets = InRuns(*runs, Threads))
            return std::move(*sets);
    return WholeText(Text, Form);
}

} // namespace elsetry
