// ReadOmmJson: JSON element sets, read with simdjson's On-Demand parser.

#include "elements/OmmFields.h"
#include "elements/OmmReaders.h"

#include "text/Strings.h"

#include <simdjson.h>

#include <utility>

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

} // namespace

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
    if (document.current_location().error() != simdjson::OUT_OF_BOUNDS)
        throw EOmmFormat("text follows the JSON list");
}

std::vector<TOmmRecord> ReadOmmJson(std::string_view Text)
{
    std::vector<TOmmRecord> records;
    ReadOmmJsonRecords(Text, [&records](const TOmmRecord& Record) { records.push_back(Record); });
    return records;
}

} // namespace elsetry
