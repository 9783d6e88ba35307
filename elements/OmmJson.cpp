// ReadOmmJson: JSON element sets, read with simdjson's On-Demand parser.

#include "elements/OmmFields.h"
#include "elements/OmmReaders.h"

#include "text/Strings.h"

#include <simdjson.h>

#include <memory>
#include <optional>
#include <utility>
#include <vector>

namespace elsetry {

namespace {

namespace ondemand = simdjson::ondemand;

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

// Stores the value's text; false for null.
bool ReadValue(ondemand::value& Value, const TOmmField& Field, TOmmRecord& Record, std::size_t Index)
{
    ondemand::json_type type{};
    if (Value.type().get(type))
        Raise(Index, FieldFault(Field, "does not read"));
    switch (type) {
    case ondemand::json_type::null:
        return false;
    case ondemand::json_type::string: {
        std::string_view text;
        if (Value.get_string().get(text))
            Raise(Index, FieldFault(Field, "does not read"));
        Record.*Field.Member = text;
        return true;
    }
    case ondemand::json_type::number:
        if (IsTextField(Field))
            Raise(Index, FieldFault(Field, "is a number, not a string"));
        // The number as written, so that no digit is lost to a binary fraction.
        Record.*Field.Member = WithoutTrailingBlanks(Value.raw_json_token());
        return true;
    default:
        Raise(Index, FieldFault(Field, "is neither a string nor a number"));
    }
}

// Fills Record, whose strings keep their storage from the object before.
void ReadObject(ondemand::object& Object, std::size_t Index, TOmmRecord& Record)
{
    for (const TOmmField& field : OmmFields)
        (Record.*field.Member).clear();
    std::array<bool, OmmFields.size()> present{};
    std::size_t next = 0; // the services list the fields in the same order in every object
    for (auto member : Object) {
        ondemand::field field;
        std::string_view key;
        if (std::move(member).get(field) || field.unescaped_key().get(key))
            Raise(Index, "not a JSON object");
        const std::optional<std::size_t> index = next < OmmFields.size() && OmmFields[next].Name == key
                                                     ? next
                                                     : OmmFieldIndex(key);
        if (index) {
            present[*index] = ReadValue(field.value(), OmmFields[*index], Record, Index);
            next = *index + 1;
        }
    }
    for (std::size_t i = 0; i < OmmFields.size(); ++i)
        if (OmmFields[i].Required && !present[i])
            Raise(Index, FieldFault(OmmFields[i], "is missing"));
}

void ReadList(ondemand::array& List, const TOmmRecordSink& Sink)
{
    TOmmRecord record;
    std::size_t index = 0;
    for (auto element : List) {
        ondemand::object object;
        if (std::move(element).get_object().get(object))
            Raise(index, "not a JSON object");
        ReadObject(object, index++, record);
        Sink(record);
    }
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

bool IsJsonBlank(char C)
{
    return C == ' ' || C == '\t' || C == '\r' || C == '\n';
}

// Just past the quote that ends the string whose contents begin at From, or the text's end. A
// quote after an odd number of backslashes is escaped.
std::size_t StringEnd(std::string_view Text, std::size_t From)
{
    for (std::size_t quote = Text.find('"', From); quote != std::string_view::npos; quote = Text.find('"', quote + 1)) {
        std::size_t backslashes = 0;
        while (quote - backslashes > From && Text[quote - backslashes - 1] == '\\')
            ++backslashes;
        if (backslashes % 2 == 0)
            return quote + 1;
    }
    return Text.size();
}

// Where the object that begins at From ends, just past its closing brace: brackets are counted
// outside strings. Nothing when the text ends first. Whether what stands in between is JSON is
// for the parser that reads the object to tell.
std::optional<std::size_t> ObjectEnd(std::string_view Text, std::size_t From)
{
    std::size_t depth = 0;
    for (std::size_t i = From; i < Text.size();) {
        switch (Text[i++]) {
        case '"':
            i = StringEnd(Text, i);
            break;
        case '{':
        case '[':
            ++depth;
            break;
        case '}':
        case ']':
            if (--depth == 0)
                return i;
            break;
        default:
            break;
        }
    }
    return std::nullopt;
}

// The objects of a JSON list, each read as a document of its own where the text has it. Only
// blanks, the brackets of the list and the commas between its objects stand outside them; the
// objects' own JSON, their UTF-8 too, is checked as each is read.
class TJsonRecordRuns : public TOmmRecordRuns {
public:
    explicit TJsonRecordRuns(std::string_view JsonText) : Text(JsonText) {}

    // Finds the objects of the list; false when the text is not found to be a list of objects.
    bool FindObjects()
    {
        std::size_t at = SkipBlanks(0);
        if (at == Text.size() || Text[at] != '[')
            return false;
        at = SkipBlanks(at + 1);
        for (bool more = at < Text.size() && Text[at] != ']'; more;) {
            if (at == Text.size() || Text[at] != '{')
                return false;
            const std::optional<std::size_t> end = ObjectEnd(Text, at);
            if (!end)
                return false;
            Objects.push_back(Text.substr(at, *end - at));
            at = SkipBlanks(*end);
            more = at < Text.size() && Text[at] == ',';
            if (more)
                at = SkipBlanks(at + 1);
        }
        if (at == Text.size() || Text[at] != ']')
            return false;
        // An object simdjson may not read past its end into the text's own memory.
        for (std::size_t i = Objects.size(); i-- > 0 && !RoomAfter(Objects[i]);)
            Padded.emplace_back(i, simdjson::padded_string(Objects[i]));
        return SkipBlanks(at + 1) == Text.size();
    }

    std::size_t Count() const override { return Objects.size(); }

    bool Read(std::size_t First, std::size_t End, const TOmmRecordSink& Sink) const override
    {
        ondemand::parser parser;
        TOmmRecord record;
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
    std::size_t SkipBlanks(std::size_t At) const
    {
        while (At < Text.size() && IsJsonBlank(Text[At]))
            ++At;
        return At;
    }

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

} // namespace

std::unique_ptr<TOmmRecordRuns> OmmJsonRecordRuns(std::string_view Text)
{
    auto runs = std::make_unique<TJsonRecordRuns>(Text);
    if (!runs->FindObjects())
        return nullptr;
    return runs;
}

void ReadOmmJsonRecords(std::string_view Text, const TOmmRecordSink& Sink)
{
    const simdjson::padded_string json(Text);
    ondemand::parser parser;
    ondemand::document document;
    ondemand::json_type type{};
    RaiseOn(parser.iterate(json).get(document));
    RaiseOn(document.type().get(type));
    if (type == ondemand::json_type::array) {
        ondemand::array list;
        RaiseOn(document.get_array().get(list));
        ReadList(list, Sink);
    } else if (type == ondemand::json_type::object) {
        ondemand::object object;
        RaiseOn(document.get_object().get(object));
        TOmmRecord record;
        ReadObject(object, 0, record);
        Sink(record);
    } else {
        throw EOmmFormat("not a JSON list of objects");
    }
    // Past the list, the document has nothing left to read.
    if (!ReadToTheEnd(document))
        throw EOmmFormat("text follows the JSON list");
}

std::vector<TOmmRecord> ReadOmmJson(std::string_view Text)
{
    std::vector<TOmmRecord> records;
    ReadOmmJsonRecords(Text, [&records](const TOmmRecord& Record) { records.push_back(Record); });
    return records;
}

} // namespace elsetry
