#pragma once
// Element sets in the Orbit Mean-Elements Message form that the catalogue services also answer
// in (CSV with a header line of field names, or JSON: a list of objects), and their writing as the
// name line and two element lines that element files hold.

#include <array>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace elsetry {

// A file or answer that is not element sets in this form, or a record whose fields do not read;
// the text says which row or object and which field.
class EOmmFormat : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// One element set, each field's text as the file gives it (a JSON number as written, a JSON
// string's contents), so that writing it loses nothing to binary fractions.
struct TOmmRecord {
    std::string ObjectName;
    std::string ObjectId;           // "1998-067A"
    std::string Epoch;              // "2024-01-05T12:00:00.123456"
    std::string MeanMotion;         // revolutions a day
    std::string Eccentricity;
    std::string Inclination;        // degrees
    std::string RaOfAscNode;        // degrees
    std::string ArgOfPericenter;    // degrees
    std::string MeanAnomaly;        // degrees
    std::string EphemerisType;      // "0"
    std::string ClassificationType; // "U"
    std::string NoradCatId;         // up to nine digits
    std::string ElementSetNo;
    std::string RevAtEpoch;
    std::string Bstar;
    std::string MeanMotionDot;
    std::string MeanMotionDdot;
};

// The same fields viewing texts that stand elsewhere (the file a reader reads, the strings of a
// record), for readers that copy none of them.
struct TOmmRecordView {
    std::string_view ObjectName;
    std::string_view ObjectId;
    std::string_view Epoch;
    std::string_view MeanMotion;
    std::string_view Eccentricity;
    std::string_view Inclination;
    std::string_view RaOfAscNode;
    std::string_view ArgOfPericenter;
    std::string_view MeanAnomaly;
    std::string_view EphemerisType;
    std::string_view ClassificationType;
    std::string_view NoradCatId;
    std::string_view ElementSetNo;
    std::string_view RevAtEpoch;
    std::string_view Bstar;
    std::string_view MeanMotionDot;
    std::string_view MeanMotionDdot;
};
TOmmRecordView ViewOf(const TOmmRecord& Record);

// The records of a CSV text (RFC 4180: quoted fields, CR LF or LF lines; the header names the
// fields in any order, letter case aside). Raises EOmmFormat when a field a set cannot do without
// (name, epoch, the six mean elements, catalogue number) is missing from the header or a row has
// the wrong number of fields.
std::vector<TOmmRecord> ReadOmmCsv(std::string_view Text);
// The records of a JSON list of objects (or of one object); numbers may be JSON numbers or
// strings, the other fields may be null or left out. Raises EOmmFormat naming the object, counted
// from 0, and the field.
std::vector<TOmmRecord> ReadOmmJson(std::string_view Text);

enum class TElementTextForm { ElementLines, OmmCsv, OmmJson };
// Which form a text is in, from its first characters: "[" or "{" JSON, a header line naming
// OBJECT_NAME and NORAD_CAT_ID CSV, anything else element lines.
TElementTextForm ElementTextFormOf(std::string_view Text);

// The largest catalogue number an element line can hold (in the letter form, "Z9999").
inline constexpr long LargestElementLineNumber = 339999;

// How a second derivative or drag term of zero is written: " 00000-0" as Space-Track writes it,
// or " 00000+0" as CelesTrak has written it since late 2021.
enum class TZeroExponent { Minus, Plus };

// The name line and the two element lines of the record, column for column as Space-Track writes
// them (CelesTrak's zero exponents with Plus): signs, implied decimal points, exponents, the
// letter form from 100000, checksums. Nothing for a catalogue number past
// LargestElementLineNumber. Raises EOmmFormat for a field that does not read or does not fit its
// columns.
std::optional<std::array<std::string, 3>> ElementLinesOf(const TOmmRecord& Record,
                                                         TZeroExponent Zero = TZeroExponent::Minus);
// Every element line ElementLinesOf and AppendElementLines write is this long, checksum included.
inline constexpr std::size_t WrittenElementLineLength = 69;
// The same three lines appended to Text, each ended by "\n", without a string made for each;
// false for a catalogue number past LargestElementLineNumber. Text is as it was when nothing is
// appended, EOmmFormat raised too.
bool AppendElementLines(const TOmmRecord& Record, std::string& Text, TZeroExponent Zero = TZeroExponent::Minus);
bool AppendElementLines(const TOmmRecordView& Record, std::string& Text, TZeroExponent Zero = TZeroExponent::Minus);

} // namespace elsetry
