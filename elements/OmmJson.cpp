// ReadOmmJson: JSON element sets, read with simdjson's On-Demand parser.

#include "elements/OmmFields.h"
#include "elements/OmmReaders.h"

#include "text/Strings.h"

#include <simdjson.h>

#include <memory>
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
    for (auto member : Object) {
        ondemand::field field;
        std::string_view key;
        if (std::move(member).get(field) || field.unescaped_key().get(key))
            Raise(Index, "not a JSON object");
        if (const std::optional<std::size_t> index = OmmFieldIndex(key))
            present[*index] = ReadValue(field.value(), OmmFields[*index], Record, Index);
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

// The objects of a JSON list, each read as a document of its own where the list has it.
class TJsonRecordRuns : public TOmmRecordRuns {
public:
    explicit TJsonRecordRuns(std::string_view Text) : Json(Text) {}

    // Finds the objects of the list; false when the text is not a list of objects as a whole.
    bool FindObjects()
    {
        ondemand::parser parser;
        ondemand::document document;
        ondemand::array list;
        if (parser.iterate(Json).get(document) || document.get_array().get(list))
            return false;
        for (auto element : list) {
            ondemand::object object;
            std::string_view text;
            if (std::move(element).get_object().get(object) || object.raw_json().get(text))
                return false;
            Objects.push_back(text);
        }
        return ReadToTheEnd(document);
    }

    std::size_t Count() const override { return Objects.size(); }

    bool Read(std::size_t First, std::size_t End, const TOmmRecordSink& Sink) const override
    {
        ondemand::parser parser;
        TOmmRecord record;
        const char* const paddedEnd = Json.data() + Json.size() + simdjson::SIMDJSON_PADDING;
        for (std::size_t i = First; i < End; ++i) {
            const std::string_view text = Objects[i];
            ondemand::document document;
            ondemand::object object;
            if (parser.iterate(text.data(), text.size(), static_cast<std::size_t>(paddedEnd - text.data()))
                    .get(document)
                || document.get_object().get(object))
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
    const simdjson::padded_string Json;
    std::vector<std::string_view> Objects; // in Json
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
