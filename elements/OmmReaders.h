#pragma once
// The CSV and JSON readers set by set, for callers that use each set once: no record is kept,
// and the strings of one are reused for the next.

#include "elements/OmmRecord.h"

#include <cstddef>
#include <functional>
#include <future>
#include <memory>
#include <string_view>
#include <vector>

namespace elsetry {

// Called with each record in the order of the text.
using TOmmRecordSink = std::function<void(const TOmmRecord&)>;
// The same with a view of each record's fields, which lasts until the call returns.
using TOmmViewSink = std::function<void(const TOmmRecordView&)>;

// As ReadOmmCsv and ReadOmmJson, with the same faults. Each record reaches Sink before the text
// after it is read, so a fault further on is raised after Sink has seen the records before it.
void ReadOmmCsvRecords(std::string_view Text, const TOmmRecordSink& Sink);
void ReadOmmJsonRecords(std::string_view Text, const TOmmRecordSink& Sink);

// Called with each record and the text of the JSON object it was read from, "{" to "}" as the
// text has it, which lasts as long as the text does.
using TOmmObjectSink = std::function<void(const TOmmRecord&, std::string_view Object)>;
// As ReadOmmJsonRecords, each record given with its object's text. The object is checked as JSON
// whole, the fields the record does not take too, since its text may be written elsewhere.
void ReadOmmJsonObjects(std::string_view Text, const TOmmObjectSink& Sink);

// Each row of a CSV text as it stands, the header's first, without its line end and the blank
// lines after it: row N + 1 holds the record ReadOmmCsv gives as record N.
std::vector<std::string_view> OmmCsvRows(std::string_view Text);

// Where the records of a CSV or JSON text stand, found on one thread without their fields being
// read, so that runs of records can be read on several threads at once. It may view the text.
class TOmmRecordRuns {
public:
    virtual ~TOmmRecordRuns() = default;
    virtual std::size_t Count() const = 0;
    // Of Count, how many a thread takes at a time.
    virtual std::size_t RecordsPerTurn() const { return 256; }
    // How many records there are, or may be at most.
    virtual std::size_t Records() const { return Count(); }
    // Reads records First to End - 1 into Sink, in order; safe to call from several threads at
    // once, each with an index of its own (Thread, from 0). False when they do not read as a
    // reading of the whole text reads them: that reading then raises the fault.
    virtual bool Read(std::size_t First, std::size_t End, const TOmmViewSink& Sink, unsigned Thread) const = 0;
};

// Nothing for a text whose records are not found so (a fault in it, one JSON object alone):
// such a text is read whole. A JSON list's objects are found on Threads threads (0: one for
// each core).
std::unique_ptr<TOmmRecordRuns> OmmCsvRecordRuns(std::string_view Text);
std::unique_ptr<TOmmRecordRuns> OmmJsonRecordRuns(std::string_view Text, unsigned Threads = 1);
// The same read a part of about 64 KiB at a time (see TJsonPartRuns), each part as a list of
// its own. Nothing for a text that is not a JSON list.
std::unique_ptr<TOmmRecordRuns> OmmJsonPartRuns(std::string_view Text);

class TJsonPartReaders;

// A JSON list read a piece of its text at a time, each piece in parts as OmmJsonPartRuns reads
// a whole list, so that a large file need not be held whole.
class TJsonListPieces {
public:
    // Appends up to a count of further characters of the text to a string; false at its end.
    using TMoreText = std::function<bool(std::string&, std::size_t)>;
    // Start holds the text's first characters; Size is about the text's length.
    TJsonListPieces(std::string Start, TMoreText More, std::size_t Size);
    ~TJsonListPieces();
    TJsonListPieces(const TJsonListPieces&) = delete;
    TJsonListPieces& operator=(const TJsonListPieces&) = delete;
    // The parts of the next piece, which they view until the next call; nothing after the last.
    std::unique_ptr<TOmmRecordRuns> Next();
    // Whether the text was not found to be a list these pieces read: it is then to be read whole,
    // whatever the runs given before made of it.
    bool Failed() const { return Fault; }
    // Characters of the text read so far, and about how many it holds.
    std::size_t Read() const { return ReadSoFar; }
    std::size_t Size() const { return TextSize; }

private:
    bool ReadMore();
    void ReadAhead(std::size_t Cut);
    std::size_t LastLikelyObjectStart(std::size_t From) const;
    std::size_t NextReadSize();

    static constexpr std::size_t FirstReadSize = 1 << 18;
    static constexpr std::size_t PieceSize = 1 << 20;
    // Where the last object of a piece is looked for first.
    static constexpr std::size_t CutSearch = 1 << 16;

    std::string Piece;
    TMoreText More;
    // The next piece: what follows the cut in Piece (Carried characters), then what is read on a
    // thread of its own while Ahead is pending.
    std::string AheadText;
    std::size_t Carried = 0;
    std::future<bool> Ahead; // whether the text goes on past AheadText
    std::shared_ptr<TJsonPartReaders> Readers;
    std::size_t ReadSize = FirstReadSize;
    std::size_t ReadSoFar = 0;
    std::size_t TextSize = 0;
    bool Fault = false;
    bool Ended = false;
};

} // namespace elsetry
