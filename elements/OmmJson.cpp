// ReadOmmJson: JSON element sets, read with simdjson's On-Demand parser.

#include "elements/OmmFields.h"
#include "elements/OmmReaders.h"
#include "elements/SharedTurns.h"
#include "platform/LargeMemory.h"

#include "text/Strings.h"

#include <simdjson.h>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <memory>
#include <mutex>
#include <optional>
#include <utility>
#include <vector>

namespace elsetry {

namespace ondemand = simdjson::ondemand;

// A parser and a part's copy for each thread, kept from part to part and from piece to piece: a
// parser for a part takes some hundreds of kilobytes, which would otherwise come fresh from the
// system for every part.
class TJsonPartReaders {
public:
    struct TReader {
        ondemand::parser Parser;
        std::string List;
    };

    TReader& Of(unsigned Thread)
    {
        const std::lock_guard<std::mutex> lock(Lock);
        if (Readers.size() <= Thread)
            Readers.resize(Thread + 1);
        if (!Readers[Thread])
            Readers[Thread] = std::make_unique<TReader>();
        return *Readers[Thread];
    }

private:
    std::mutex Lock;
    std::vector<std::unique_ptr<TReader>> Readers;
};

namespace {

bool IsBlank(char C)
{
    return C == ' ' || C == '\t' || C == '\r' || C == '\n';
}

// A number's token runs up to the next token, blanks included.
std::string_view WithoutTrailingBlanks(std::string_view Token)
{
    while (!Token.empty() && IsBlank(Token.back()))
        Token.remove_suffix(1);
    return Token;
}

// Objects are counted from 0, as the list indexes them.
[[noreturn]] void Raise(std::size_t Index, std::string_view What)
{
    throw EOmmFormat("object " + std::to_string(Index) + ": " + EscapeControls(What));
}

std::string FieldFault(const TOmmField& Field, std::string_view Fault)
{
    return std::string(Field.Name) + " " + std::string(Fault);
}

// A string's characters as written, when it holds no escape: they are then the string itself.
std::optional<std::string_view> PlainString(std::string_view Token)
{
    Token = WithoutTrailingBlanks(Token);
    if (Token.size() < 2 || Token.back() != '"')
        return std::nullopt;
    const std::string_view characters = Token.substr(1, Token.size() - 2);
    if (characters.find('\\') != std::string_view::npos)
        return std::nullopt;
    return characters;
}

// Stores the value's text in a record, or views it in a record's view (a string as written, or
// where the parser unescaped it; a number as the text has it); false for null. The value's kind
// is told by its first character, as the parser tells it.
template <typename TRecord>
bool ReadValue(ondemand::value& Value, const TOmmField& Field, TRecord& Record, std::size_t Index)
{
    const std::string_view token = Value.raw_json_token();
    switch (token.empty() ? '\0' : token.front()) {
    case 'n':
        return false;
    case '"': {
        std::string_view text;
        if (const std::optional<std::string_view> plain = PlainString(token))
            text = *plain;
        else if (Value.get_string().get(text))
            Raise(Index, FieldFault(Field, "does not read"));
        FieldOf(Record, Field) = text;
        return true;
    }
    case '-':
    case '0':
    case '1':
    case '2':
    case '3':
    case '4':
    case '5':
    case '6':
    case '7':
    case '8':
    case '9':
        if (IsTextField(Field))
            Raise(Index, FieldFault(Field, "is a number, not a string"));
        // The number as written, so that no digit is lost to a binary fraction.
        FieldOf(Record, Field) = WithoutTrailingBlanks(token);
        return true;
    case '{':
    case '[':
    case 't':
    case 'f':
        Raise(Index, FieldFault(Field, "is neither a string nor a number"));
    default:
        Raise(Index, FieldFault(Field, "does not read"));
    }
}

// Whether a key as written is Name, which holds no quote or backslash: its characters followed
// by the key's closing quote. Compared here rather than by a call for each of the many keys.
std::uint64_t WordAt(const char* At)
{
    std::uint64_t word = 0;
    std::memcpy(&word, At, sizeof word);
    return word;
}

// Names of eight characters or more are compared a word at a time, the last word overlapping
// the one before: simdjson's text is padded past its end, so a word read past a shorter key
// stays in it.
bool KeyIs(const ondemand::raw_json_string& Key, std::string_view Name)
{
    const char* raw = Key.raw();
    const std::size_t length = Name.size();
    if (length >= sizeof(std::uint64_t)) {
        for (std::size_t i = 0; i + sizeof(std::uint64_t) < length; i += sizeof(std::uint64_t))
            if (WordAt(raw + i) != WordAt(Name.data() + i))
                return false;
        const std::size_t last = length - sizeof(std::uint64_t);
        if (WordAt(raw + last) != WordAt(Name.data() + last))
            return false;
    } else {
        for (std::size_t i = 0; i < length; ++i)
            if (raw[i] != Name[i])
                return false;
    }
    return raw[length] == '"';
}

// Fills Record, whose strings keep their storage from the object before.
template <typename TRecord>
void ReadObject(ondemand::object& Object, std::size_t Index, TRecord& Record)
{
    for (const TOmmField& field : OmmFields)
        FieldOf(Record, field) = {};
    std::array<bool, OmmFields.size()> present{};
    std::size_t next = 0; // the services list the fields in the same order in every object
    for (auto member : Object) {
        ondemand::field field;
        if (std::move(member).get(field))
            Raise(Index, "not a JSON object");
        // The key as written is compared first: the expected name followed by its closing quote
        // is that name unescaped too.
        std::optional<std::size_t> index;
        if (next < OmmFields.size() && KeyIs(field.key(), OmmFields[next].Name)) {
            index = next;
        } else {
            std::string_view key;
            if (field.unescaped_key().get(key))
                Raise(Index, "not a JSON object");
            index = OmmFieldIndex(key);
        }
        if (index) {
            present[*index] = ReadValue(field.value(), OmmFields[*index], Record, Index);
            next = *index + 1;
        }
    }
    for (std::size_t i = 0; i < OmmFields.size(); ++i)
        if (OmmFields[i].Required && !present[i])
            Raise(Index, FieldFault(OmmFields[i], "is missing"));
}

void RaiseOn(simdjson::error_code Error)
{
    if (Error)
        throw EOmmFormat(std::string("not JSON: ") + simdjson::error_message(Error));
}

// Whether nothing follows what the document has read.
bool ReadToTheEnd(ondemand::document& Document)
{
    return Document.current_location().error() == simdjson::OUT_OF_BOUNDS;
}

// Reads objects whose text is written elsewhere as it stands: each is checked as JSON whole, the
// values of fields no record takes too.
class TWholeObjectReader {
public:
    // Object: one object's text, with simdjson's padding after it.
    const TOmmRecord& Read(simdjson::padded_string_view Object, std::size_t Index)
    {
        simdjson::dom::element checked;
        if (Checker.parse(Object.data(), Object.size(), false).get(checked))
            Raise(Index, "not JSON");
        ondemand::document document;
        ondemand::object object;
        if (Parser.iterate(Object).get(document) || document.get_object().get(object))
            Raise(Index, "not a JSON object");
        ReadObject(object, Index, Record);
        return Record;
    }

private:
    simdjson::dom::parser Checker;
    ondemand::parser Parser;
    TOmmRecord Record;
};

// Where the object that begins at From ends is found by counting brackets outside strings,
// 64 characters at a time: each character of the kinds that count becomes a bit, and the bits
// inside strings are those after an odd number of quotes. The count goes over the whole list on
// one thread before the objects are read on all, so it must not take a branch per character.
constexpr std::size_t BlockSize = 64;
// Below this much of a list for each thread, starting a thread to find its objects costs more
// than it saves.
constexpr std::size_t BytesPerThread = 1 << 20;

struct TBlockBits {
    std::uint64_t Quotes = 0;
    std::uint64_t Backslashes = 0;
    std::uint64_t Opening = 0; // "{" and "["
    std::uint64_t Closing = 0; // "}" and "]"
};

#if defined(__SSE2__)
std::uint64_t BitsOf(__m128i Matches, int Shift)
{
    return static_cast<std::uint64_t>(static_cast<unsigned>(_mm_movemask_epi8(Matches))) << Shift;
}

// Block holds BlockSize characters.
TBlockBits BlockBitsOf(const char* Block)
{
    TBlockBits bits;
    const __m128i quote = _mm_set1_epi8('"');
    const __m128i backslash = _mm_set1_epi8('\\');
    // "[" and "]" differ from "{" and "}" in the bit 0x20 alone.
    const __m128i fold = _mm_set1_epi8(0x20);
    const __m128i opening = _mm_set1_epi8('{');
    const __m128i closing = _mm_set1_epi8('}');
    for (int part = 0; part < 4; ++part) {
        const __m128i chars = _mm_loadu_si128(reinterpret_cast<const __m128i*>(Block + 16 * part));
        const __m128i folded = _mm_or_si128(chars, fold);
        bits.Quotes |= BitsOf(_mm_cmpeq_epi8(chars, quote), 16 * part);
        bits.Backslashes |= BitsOf(_mm_cmpeq_epi8(chars, backslash), 16 * part);
        bits.Opening |= BitsOf(_mm_cmpeq_epi8(folded, opening), 16 * part);
        bits.Closing |= BitsOf(_mm_cmpeq_epi8(folded, closing), 16 * part);
    }
    return bits;
}
#endif

// Each bit set from a quote up to the next one.
std::uint64_t InsideQuotes(std::uint64_t Quotes)
{
    Quotes ^= Quotes << 1;
    Quotes ^= Quotes << 2;
    Quotes ^= Quotes << 4;
    Quotes ^= Quotes << 8;
    Quotes ^= Quotes << 16;
    Quotes ^= Quotes << 32;
    return Quotes;
}

class TBracketCount {
public:
    // The position just past the bracket that closes the first one, if Block (the characters
    // of Text from Start, at most BlockSize) holds it.
    std::optional<std::size_t> Count(std::string_view Text, std::size_t Start)
    {
        const std::size_t length = std::min(BlockSize, Text.size() - Start);
#if defined(__SSE2__)
        std::array<char, BlockSize> padded{};
        const char* block = Text.data() + Start;
        if (length < BlockSize) {
            std::copy_n(block, length, padded.begin());
            block = padded.data();
        }
        TBlockBits bits = BlockBitsOf(block);
        // A backslash escapes what follows it inside a string; blocks that hold one are counted
        // character by character.
        if (bits.Backslashes == 0) {
            if (Escaping)
                bits.Quotes &= ~std::uint64_t{1};
            Escaping = false;
            return CountBits(bits, Start);
        }
#endif
        return CountCharacters(Text.substr(Start, length), Start);
    }

private:
    std::optional<std::size_t> CountBits(const TBlockBits& Bits, std::size_t Start)
    {
        const std::uint64_t inside = InsideQuotes(Bits.Quotes) ^ (InString ? ~std::uint64_t{0} : 0);
        InString = (inside >> 63) != 0;
        for (std::uint64_t brackets = (Bits.Opening | Bits.Closing) & ~inside; brackets != 0;
             brackets &= brackets - 1) {
            const int at = std::countr_zero(brackets);
            if ((Bits.Opening >> at & 1) != 0)
                ++Depth;
            else if (--Depth == 0)
                return Start + static_cast<std::size_t>(at) + 1;
        }
        return std::nullopt;
    }

    std::optional<std::size_t> CountCharacters(std::string_view Block, std::size_t Start)
    {
        for (std::size_t i = 0; i < Block.size(); ++i) {
            const char c = Block[i];
            if (InString) {
                if (Escaping)
                    Escaping = false;
                else if (c == '\\')
                    Escaping = true;
                else if (c == '"')
                    InString = false;
            } else if (c == '"') {
                InString = true;
            } else if (c == '{' || c == '[') {
                ++Depth;
            } else if ((c == '}' || c == ']') && --Depth == 0) {
                return Start + i + 1;
            }
        }
        return std::nullopt;
    }

    std::size_t Depth = 0;
    bool InString = false;
    bool Escaping = false; // the block before ended in a string with a backslash
};

// Where the object that begins at From ends, just past its closing brace: brackets are counted
// outside strings. Nothing when the text ends first. Whether what stands in between is JSON is
// for the parser that reads the object to tell.
std::optional<std::size_t> ObjectEnd(std::string_view Text, std::size_t From)
{
    TBracketCount count;
    for (std::size_t start = From; start < Text.size(); start += BlockSize)
        if (const std::optional<std::size_t> end = count.Count(Text, start))
            return end;
    return std::nullopt;
}

// Where an object seems to begin at or after From: a "{" after "}" and ",", blanks aside. It
// may stand in a string; only a reading from the list's start can tell.
std::size_t LikelyObjectStart(std::string_view Text, std::size_t From)
{
    for (std::size_t at = Text.find('{', From); at != std::string_view::npos; at = Text.find('{', at + 1)) {
        std::size_t before = at;
        while (before > 0 && IsBlank(Text[before - 1]))
            --before;
        if (before == 0 || Text[before - 1] != ',')
            continue;
        --before;
        while (before > 0 && IsBlank(Text[before - 1]))
            --before;
        if (before > 0 && Text[before - 1] == '}')
            return at;
    }
    return Text.size();
}

std::size_t SkipJsonBlanks(std::string_view Text, std::size_t At)
{
    while (At < Text.size() && IsBlank(Text[At]))
        ++At;
    return At;
}

// Where a list's first object stands, past its "[".
std::optional<std::size_t> FirstListObject(std::string_view Text)
{
    const std::size_t at = SkipJsonBlanks(Text, 0);
    if (at == Text.size() || Text[at] != '[')
        return std::nullopt;
    return SkipJsonBlanks(Text, at + 1);
}

// Where the "]" that ends a text's list stands, only blanks after it.
std::optional<std::size_t> ListEndOf(std::string_view Text)
{
    std::size_t end = Text.size();
    while (end > 0 && IsBlank(Text[end - 1]))
        --end;
    if (end == 0 || Text[end - 1] != ']')
        return std::nullopt;
    return end - 1;
}

// The objects of a JSON list, each read as a document of its own where the text has it. Only
// blanks, the brackets of the list and the commas between its objects stand outside them; the
// objects' own JSON, their UTF-8 too, is checked as each is read.
class TJsonRecordRuns : public TOmmRecordRuns {
public:
    explicit TJsonRecordRuns(std::string_view JsonText) : Text(JsonText) {}

    // Finds the objects of the list on Threads threads (0: one for each core); false when the
    // text is not found to be a list of objects.
    bool FindObjects(unsigned Threads)
    {
        std::size_t at = SkipBlanks(0);
        if (at == Text.size() || Text[at] != '[')
            return false;
        at = SkipBlanks(at + 1);
        if (at < Text.size() && Text[at] != ']') {
            const std::optional<std::size_t> end = FindObjectsFrom(at, Threads);
            if (!end)
                return false;
            at = *end;
        }
        if (at == Text.size() || Text[at] != ']')
            return false;
        // An object simdjson may not read past its end into the text's own memory.
        for (std::size_t i = Objects.size(); i-- > 0 && !RoomAfter(Objects[i]);)
            Padded.emplace_back(i, simdjson::padded_string(Objects[i]));
        return SkipBlanks(at + 1) == Text.size();
    }

    std::size_t Count() const override { return Objects.size(); }

    // Each object with its text, in order; raises the fault of the first that does not read.
    void ReadWhole(const TOmmObjectSink& Sink) const
    {
        TWholeObjectReader reader;
        for (std::size_t i = 0; i < Objects.size(); ++i)
            Sink(reader.Read(PaddedObject(i), i), Objects[i]);
    }

    bool Read(std::size_t First, std::size_t End, const TOmmViewSink& Sink, unsigned) const override
    {
        ondemand::parser parser;
        TOmmRecordView record;
        for (std::size_t i = First; i < End; ++i) {
            const simdjson::padded_string_view json = PaddedObject(i);
            ondemand::document document;
            ondemand::object object;
            if (parser.iterate(json).get(document) || document.get_object().get(object))
                return false;
            try {
                ReadObject(object, i, record);
            } catch (const EOmmFormat&) {
                return false; // the reading of the whole text raises it, after the objects before
            }
            if (!ReadToTheEnd(document))
                return false;
            Sink(record);
        }
        return true;
    }

private:
    // Where a scan of the objects stopped: at the start of an object at or past where it was to
    // stop, or past the list's last object (where "]" is to stand), or at a fault.
    struct TScan {
        std::size_t At = 0;
        bool Ended = false;
        bool Failed = false;
    };

    // The objects from the one that begins at At up to those that begin at Until, into Found.
    TScan ScanObjects(std::size_t At, std::size_t Until, std::vector<std::string_view>& Found) const
    {
        while (At < Until) {
            if (At == Text.size() || Text[At] != '{')
                return {At, false, true};
            const std::optional<std::size_t> end = ObjectEnd(Text, At);
            if (!end)
                return {At, false, true};
            Found.push_back(Text.substr(At, *end - At));
            At = SkipBlanks(*end);
            if (At == Text.size() || Text[At] != ',')
                return {At, true, false};
            At = SkipBlanks(At + 1);
        }
        return {At, false, false};
    }

    // The objects from the first, at First, on; where the list's last one ends, or nothing for
    // a fault. The text is cut into a part for each thread, each part's objects found from where
    // one seems to begin; a part whose start the objects before it do not reach is found again
    // from where they do, so the objects are those a scan from the start finds.
    std::optional<std::size_t> FindObjectsFrom(std::size_t First, unsigned Threads)
    {
        const std::size_t length = Text.size() - First;
        const unsigned parts = WorkThreads(length, Threads, BytesPerThread);
        std::vector<std::size_t> starts(parts);
        std::vector<std::vector<std::string_view>> found(parts);
        std::vector<TScan> scans(parts);
        const auto partStart = [&](std::size_t Part) { return First + length / parts * Part; };
        ShareOutTurns(parts, parts, [&](std::size_t Part, unsigned) {
            starts[Part] = Part == 0 ? First : LikelyObjectStart(Text, partStart(Part));
            const std::size_t until = Part + 1 < parts ? partStart(Part + 1) : Text.size();
            found[Part].reserve((until - partStart(Part)) / 256 + 1);
            scans[Part] = ScanObjects(starts[Part], until, found[Part]);
        });
        TScan scan = scans[0];
        Objects = std::move(found[0]);
        for (std::size_t part = 1; part < parts && !scan.Ended && !scan.Failed; ++part) {
            const std::size_t until = part + 1 < parts ? partStart(part + 1) : Text.size();
            if (scan.At == starts[part] && !scans[part].Failed) {
                Objects.insert(Objects.end(), found[part].begin(), found[part].end());
                scan = scans[part];
            } else {
                scan = ScanObjects(scan.At, until, Objects);
            }
        }
        if (!scan.Ended)
            return std::nullopt;
        return scan.At;
    }

    std::size_t SkipBlanks(std::size_t At) const { return SkipJsonBlanks(Text, At); }

    bool RoomAfter(std::string_view Object) const { return Room(Object) >= Object.size() + simdjson::SIMDJSON_PADDING; }

    std::size_t Room(std::string_view Object) const
    {
        return static_cast<std::size_t>(Text.data() + Text.size() - Object.data());
    }

    simdjson::padded_string_view PaddedObject(std::size_t Index) const
    {
        for (const auto& [index, copy] : Padded)
            if (index == Index)
                return copy;
        const std::string_view object = Objects[Index];
        return simdjson::padded_string_view(object.data(), object.size(), Room(object));
    }

    std::string_view Text;
    std::vector<std::string_view> Objects; // in Text
    // Copies of the last objects, too near the end of the text to be read in place.
    std::vector<std::pair<std::size_t, simdjson::padded_string>> Padded;
};

// The objects of a stretch of a JSON list read a part at a time, a part being the objects of
// about PartSize characters: simdjson indexes a part's characters at once, as it does a whole
// text, rather than an object's at a time, and no count of brackets has to find each object
// first. A part begins where an object seems to begin (LikelyObjectStart, which a string may
// fool) and is read as a list of its own. The first part begins where an object does; when every
// part reads as such a list, each one ends where the next begins, so that each begins where an
// object does and their objects are those of the whole list.
class TJsonPartRuns : public TOmmRecordRuns {
public:
    // The objects from the one at First up to End: the list's "]" when EndsList, else where the
    // object after the stretch seems to begin.
    TJsonPartRuns(std::string_view JsonText, std::size_t First, std::size_t End, bool EndsList,
                  std::shared_ptr<TJsonPartReaders> PartReaders)
        : Text(JsonText), StretchEnd(End), EndsTheList(EndsList), Readers(std::move(PartReaders))
    {
        Starts.push_back(First);
        EstimateRecords(First);
        for (std::size_t from = First + PartSize; from < End; from += PartSize) {
            const std::size_t start = LikelyObjectStart(Text, from);
            if (start >= End)
                break;
            Starts.push_back(start);
            if (start > from)
                from += (start - from) / PartSize * PartSize;
        }
    }

    std::size_t Count() const override { return Starts.size(); }
    std::size_t RecordsPerTurn() const override { return 1; }
    std::size_t Records() const override { return RecordsEstimate; }

    bool Read(std::size_t First, std::size_t End, const TOmmViewSink& Sink, unsigned Thread) const override
    {
        TJsonPartReaders::TReader& reader = Readers->Of(Thread);
        ondemand::parser& parser = reader.Parser;
        std::string& list = reader.List;
        TOmmRecordView record;
        for (std::size_t part = First; part < End; ++part) {
            if (!AsList(part, list))
                return false;
            ondemand::document document;
            ondemand::array objects;
            if (parser.iterate(list.data(), list.size(), list.capacity()).get(document)
                || document.get_array().get(objects))
                return false;
            for (auto element : objects) {
                ondemand::object object;
                if (std::move(element).get_object().get(object))
                    return false;
                try {
                    ReadObject(object, 0, record);
                } catch (const EOmmFormat&) {
                    return false; // the reading of the whole text raises it, after the objects before
                }
                Sink(record);
            }
            if (!ReadToTheEnd(document))
                return false;
        }
        return true;
    }

private:
    // The part's objects between brackets, with room for simdjson's padding. The comma after a
    // part's last object is left out, as a list's last has none.
    bool AsList(std::size_t Part, std::string& List) const
    {
        const bool last = Part + 1 == Starts.size();
        std::size_t end = last ? StretchEnd : Starts[Part + 1];
        if (!last || !EndsTheList) {
            while (end > Starts[Part] && IsBlank(Text[end - 1]))
                --end;
            if (end == Starts[Part] || Text[end - 1] != ',')
                return false;
            --end;
        }
        const std::string_view objects = Text.substr(Starts[Part], end - Starts[Part]);
        List.clear();
        List.reserve(objects.size() + 2 + simdjson::SIMDJSON_PADDING);
        List += '[';
        List += objects;
        List += ']';
        return true;
    }

    // From the objects at the stretch's start, an eighth more: the room of the lines they make is
    // made ready from it.
    void EstimateRecords(std::size_t First)
    {
        std::size_t count = 1;
        std::size_t at = First;
        for (; count < EstimateSample; ++count) {
            at = LikelyObjectStart(Text, at + 1);
            if (at >= StretchEnd)
                break;
        }
        const std::size_t span = std::max(std::min(at, StretchEnd), First + 1) - First;
        RecordsEstimate = (StretchEnd - First) * count / span * 9 / 8 + 1;
    }

    static constexpr std::size_t PartSize = 1 << 16;
    static constexpr std::size_t EstimateSample = 256;

    std::string_view Text;
    std::vector<std::size_t> Starts; // of each part, in Text
    std::size_t StretchEnd = 0;
    bool EndsTheList = false;
    std::size_t RecordsEstimate = 0;
    std::shared_ptr<TJsonPartReaders> Readers;
};

// The objects of a text that is no plain list (one object alone, or a fault), each read again
// where the padded copy of the text holds it, so that its text is known beside its fields.
class TObjectTexts {
public:
    TObjectTexts(const simdjson::padded_string& Copy, std::string_view Original) : Json(Copy), Text(Original) {}

    void Read(ondemand::object& Object, std::size_t Index, const TOmmObjectSink& Sink)
    {
        std::string_view raw;
        if (Object.raw_json().get(raw))
            Raise(Index, "not a JSON object");
        raw = WithoutTrailingBlanks(raw); // the text up to the token after the object
        const auto offset = static_cast<std::size_t>(raw.data() - Json.data());
        const simdjson::padded_string_view padded(raw.data(), raw.size(),
                                                  Json.size() - offset + simdjson::SIMDJSON_PADDING);
        Sink(Reader.Read(padded, Index), Text.substr(offset, raw.size()));
    }

private:
    const simdjson::padded_string& Json;
    std::string_view Text;
    TWholeObjectReader Reader;
};

// Each object of a JSON list, or the one object the text holds, given to Read with its index in
// the list, in order; the faults of the text around them are raised here.
template <typename TRead>
void ForEachJsonObject(const simdjson::padded_string& Json, const TRead& Read)
{
    ondemand::parser parser;
    ondemand::document document;
    ondemand::json_type type{};
    RaiseOn(parser.iterate(Json).get(document));
    RaiseOn(document.type().get(type));
    if (type == ondemand::json_type::array) {
        ondemand::array list;
        RaiseOn(document.get_array().get(list));
        std::size_t index = 0;
        for (auto element : list) {
            ondemand::object object;
            if (std::move(element).get_object().get(object))
                Raise(index, "not a JSON object");
            Read(object, index++);
        }
    } else if (type == ondemand::json_type::object) {
        ondemand::object object;
        RaiseOn(document.get_object().get(object));
        Read(object, 0);
    } else {
        throw EOmmFormat("not a JSON list of objects");
    }
    // Past the list, the document has nothing left to read.
    if (!ReadToTheEnd(document))
        throw EOmmFormat("text follows the JSON list");
}

} // namespace

std::unique_ptr<TOmmRecordRuns> OmmJsonPartRuns(std::string_view Text)
{
    const std::optional<std::size_t> first = FirstListObject(Text);
    const std::optional<std::size_t> end = ListEndOf(Text);
    if (!first || !end || *first >= *end)
        return nullptr;
    return std::make_unique<TJsonPartRuns>(Text, *first, *end, true, std::make_shared<TJsonPartReaders>());
}

TJsonListPieces::TJsonListPieces(std::string Start, TMoreText MoreText, std::size_t Size)
    : More(std::move(MoreText)), Readers(std::make_shared<TJsonPartReaders>()), ReadSoFar(Start.size()), TextSize(Size)
{
    const std::optional<std::size_t> first = FirstListObject(Start);
    if (!first) {
        Fault = true;
        return;
    }
    // The first piece is small, so that its sets are written while the next is read.
    Piece.reserve(std::min(Size, FirstReadSize) + CutSearch);
    Piece.assign(Start, *first);
}

// A piece still being read ahead writes into this object.
TJsonListPieces::~TJsonListPieces()
{
    if (Ahead.valid())
        Ahead.wait();
}

std::unique_ptr<TOmmRecordRuns> TJsonListPieces::Next()
{
    if (Fault || Ended)
        return nullptr;
    bool more = false;
    if (Ahead.valid()) {
        more = Ahead.get();
        std::swap(Piece, AheadText);
        ReadSoFar += Piece.size() - Carried;
    } else {
        more = ReadMore(); // the first piece
    }
    std::size_t searched = 1; // no object seems to begin before it
    for (;; more = ReadMore()) {
        if (!more) {
            Ended = true;
            const std::optional<std::size_t> end = ListEndOf(Piece);
            if (!end || *end == 0) {
                Fault = true;
                return nullptr;
            }
            return std::make_unique<TJsonPartRuns>(Piece, 0, *end, true, Readers);
        }
        // The next piece begins at the last object that seems to begin in this one, looked for
        // near its end first.
        std::size_t cut = LastLikelyObjectStart(std::max(searched, Piece.size() - std::min(Piece.size(), CutSearch)));
        if (cut == Piece.size())
            cut = LastLikelyObjectStart(searched);
        searched = Piece.size();
        if (cut < Piece.size()) {
            ReadAhead(cut);
            return std::make_unique<TJsonPartRuns>(Piece, 0, cut, false, Readers);
        }
    }
}

std::size_t TJsonListPieces::LastLikelyObjectStart(std::size_t From) const
{
    std::size_t last = Piece.size();
    for (std::size_t at = LikelyObjectStart(Piece, From); at < Piece.size(); at = LikelyObjectStart(Piece, at + 1))
        last = at;
    return last;
}

bool TJsonListPieces::ReadMore()
{
    const std::size_t before = Piece.size();
    const bool more = More(Piece, NextReadSize());
    ReadSoFar += Piece.size() - before;
    return more;
}

// Each piece reads more than the one before, up to PieceSize.
std::size_t TJsonListPieces::NextReadSize()
{
    const std::size_t size = ReadSize;
    ReadSize = std::min(ReadSize * 4, PieceSize);
    return size;
}

// The next piece, what follows the cut and then more of the text, is made while the threads
// read this one. Its room is made present at once there too, as a whole text's is, rather than a
// small page at a time as the text is read into it.
void TJsonListPieces::ReadAhead(std::size_t Cut)
{
    const std::string_view carried = std::string_view(Piece).substr(Cut);
    Carried = carried.size();
    const std::size_t bytes = NextReadSize();
    const std::size_t room = Carried + std::min(bytes, TextSize - std::min(TextSize, ReadSoFar)) + CutSearch;
    const auto readAhead = [this, carried, bytes, room] {
        AheadText.clear();
        if (AheadText.capacity() < room) {
            AheadText.reserve(room);
            PrepareLargeBuffer(AheadText.data(), room);
        }
        AheadText.assign(carried);
        return More(AheadText, bytes);
    };
    Ahead = RunAside(readAhead);
}

std::unique_ptr<TOmmRecordRuns> OmmJsonRecordRuns(std::string_view Text, unsigned Threads)
{
    auto runs = std::make_unique<TJsonRecordRuns>(Text);
    if (!runs->FindObjects(Threads))
        return nullptr;
    return runs;
}

void ReadOmmJsonRecords(std::string_view Text, const TOmmRecordSink& Sink)
{
    const simdjson::padded_string json(Text);
    TOmmRecord record;
    ForEachJsonObject(json, [&](ondemand::object& Object, std::size_t Index) {
        ReadObject(Object, Index, record);
        Sink(record);
    });
}

void ReadOmmJsonObjects(std::string_view Text, const TOmmObjectSink& Sink)
{
    // A list's objects are read where the text holds them, without a copy of it.
    TJsonRecordRuns runs(Text);
    if (runs.FindObjects(0)) {
        runs.ReadWhole(Sink);
        return;
    }
    const simdjson::padded_string json(Text);
    TObjectTexts objects(json, Text);
    ForEachJsonObject(json, [&](ondemand::object& Object, std::size_t Index) { objects.Read(Object, Index, Sink); });
}

std::vector<TOmmRecord> ReadOmmJson(std::string_view Text)
{
    std::vector<TOmmRecord> records;
    ReadOmmJsonRecords(Text, [&records](const TOmmRecord& Record) { records.push_back(Record); });
    return records;
}

} // namespace elsetry
