#include "tools/catalogue-service/GpQuery.h"

#include "tools/catalogue-service/OmmFields.h"
#include "elements/ElementColumns.h"
#include "text/CatalogueNumber.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <chrono>
#include <cmath>
#include <cstdio>

namespace elsetry::service {

namespace {

const std::vector<std::string> KnownFields{"OBJECT_NAME",  "NORAD_CAT_ID", "EPOCH",     "MEAN_MOTION",
                                           "ECCENTRICITY", "OBJECT_TYPE",  "DECAY_DATE"};

std::string Upper(std::string_view Text)
{
    std::string upper(Text);
    for (char& c : upper)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return upper;
}

std::string_view Trimmed(std::string_view Text)
{
    while (!Text.empty() && (Text.back() == ' ' || Text.back() == '\r' || Text.back() == '\n'))
        Text.remove_suffix(1);
    while (!Text.empty() && Text.front() == ' ')
        Text.remove_prefix(1);
    return Text;
}

std::optional<double> NumberIn(std::string_view Text)
{
    Text = Trimmed(Text);
    if (!Text.empty() && Text.front() == '+')
        Text.remove_prefix(1);
    double value = 0;
    const auto [end, error] = std::from_chars(Text.data(), Text.data() + Text.size(), value);
    if (Text.empty() || error != std::errc() || end != Text.data() + Text.size())
        return std::nullopt;
    return value;
}

double DaysOf(std::chrono::year_month_day Date)
{
    return static_cast<double>(std::chrono::sys_days(Date).time_since_epoch().count());
}

// "now", "now-30", "2024-01-05", "2024-01-05T12:00:00" or "2024-01-05 12:00:00", in days since 1970.
double EpochValue(const std::string& Text, double NowDays)
{
    const std::string upper = Upper(Text);
    if (upper.starts_with("NOW")) {
        if (upper.size() == 3)
            return NowDays;
        const std::optional<double> offset = NumberIn(std::string_view(upper).substr(3));
        if (!offset)
            throw EGpQueryError("Not a time: " + Text);
        return NowDays + *offset;
    }
    int year = 0;
    unsigned month = 0, day = 0;
    int hour = 0, minute = 0;
    double second = 0;
    const int fields = std::sscanf(Text.c_str(), "%d-%u-%u%*1[T ]%d:%d:%lf", &year, &month, &day, &hour, &minute,
                                   &second);
    const std::chrono::year_month_day date{std::chrono::year(year), std::chrono::month(month), std::chrono::day(day)};
    if (fields < 3 || !date.ok())
        throw EGpQueryError("Not a time: " + Text);
    return DaysOf(date) + (hour * 3600.0 + minute * 60.0 + second) / 86400.0;
}

bool IsNumericField(const std::string& Field)
{
    return Field == "NORAD_CAT_ID" || Field == "MEAN_MOTION" || Field == "ECCENTRICITY" || Field == "EPOCH";
}

double NumericField(const TGpRecord& Record, const std::string& Field)
{
    if (Field == "NORAD_CAT_ID")
        return Record.NoradCatId;
    if (Field == "MEAN_MOTION")
        return Record.MeanMotion;
    if (Field == "ECCENTRICITY")
        return Record.Eccentricity;
    return Record.EpochDays;
}

std::optional<std::string> TextField(const TGpRecord& Record, const std::string& Field)
{
    if (Field == "OBJECT_NAME")
        return Upper(Record.ObjectName);
    if (Field == "OBJECT_TYPE")
        return Record.ObjectType;
    return Record.DecayDate;
}

double NumericValue(const std::string& Field, const std::string& Value, double NowDays)
{
    if (Field == "EPOCH")
        return EpochValue(Value, NowDays);
    if (Field == "NORAD_CAT_ID")
        if (const std::optional<int> number = CatalogueNumberValue(Trimmed(Value)))
            return *number;
    const std::optional<double> number = NumberIn(Value);
    if (!number)
        throw EGpQueryError("Not a number for " + Field + ": " + Value);
    return *number;
}

// Below zero when the record's field comes before Value, zero when equal, above zero after.
int Compare(const TGpRecord& Record, const std::string& Field, const std::string& Value, double NowDays)
{
    if (IsNumericField(Field)) {
        const double mine = NumericField(Record, Field);
        const double theirs = NumericValue(Field, Value, NowDays);
        return mine < theirs ? -1 : (mine > theirs ? 1 : 0);
    }
    const std::string mine = TextField(Record, Field).value_or("");
    return mine.compare(Upper(Value));
}

bool Passes(const TGpPredicate& Predicate, const TGpRecord& Record, double NowDays)
{
    using TKind = TGpPredicate::TKind;
    const std::string& field = Predicate.Field;
    const bool isNull = !IsNumericField(field) && !TextField(Record, field).has_value();
    if (Predicate.Kind == TKind::Null)
        return isNull;
    if (isNull)
        return false;
    const std::string& first = Predicate.Values.front();
    switch (Predicate.Kind) {
    case TKind::Greater:
        return Compare(Record, field, first, NowDays) > 0;
    case TKind::Less:
        return Compare(Record, field, first, NowDays) < 0;
    case TKind::Range:
        return Compare(Record, field, first, NowDays) >= 0 && Compare(Record, field, Predicate.Values[1], NowDays) <= 0;
    case TKind::Contains:
        return TextField(Record, field).value_or("").find(Upper(first)) != std::string::npos;
    default:
        return std::any_of(Predicate.Values.begin(), Predicate.Values.end(),
                           [&](const std::string& Value) { return Compare(Record, field, Value, NowDays) == 0; });
    }
}

bool OrderedBefore(const std::string& Field, const TGpRecord& A, const TGpRecord& B)
{
    if (Field.empty())
        return A.NoradCatId < B.NoradCatId;
    if (IsNumericField(Field))
        return NumericField(A, Field) < NumericField(B, Field);
    return TextField(A, Field).value_or("") < TextField(B, Field).value_or("");
}

std::vector<std::string> SplitAt(std::string_view Text, std::string_view Separator)
{
    std::vector<std::string> parts;
    for (std::size_t at = 0;;) {
        const std::size_t end = Text.find(Separator, at);
        parts.emplace_back(Text.substr(at, end == std::string_view::npos ? std::string_view::npos : end - at));
        if (end == std::string_view::npos)
            return parts;
        at = end + Separator.size();
    }
}

TGpPredicate PredicateOf(const std::string& Field, const std::string& Value)
{
    using TKind = TGpPredicate::TKind;
    if (std::find(KnownFields.begin(), KnownFields.end(), Field) == KnownFields.end())
        throw EGpQueryError("Unknown field " + Field);
    if (Value.empty())
        throw EGpQueryError("No value for " + Field);
    if (Upper(Value) == "NULL-VAL")
        return {Field, TKind::Null, {}};
    if (Value.starts_with("~~"))
        return {Field, TKind::Contains, {Value.substr(2)}};
    if (Value.front() == '>' || Value.front() == '<')
        return {Field, Value.front() == '>' ? TKind::Greater : TKind::Less, {Value.substr(1)}};
    if (const std::size_t range = Value.find("--"); range != std::string::npos)
        return {Field, TKind::Range, {Value.substr(0, range), Value.substr(range + 2)}};
    return {Field, TKind::Equal, SplitAt(Value, ",")};
}

void ReadOrder(const std::string& Value, TGpQuery& Query)
{
    const std::vector<std::string> words = SplitAt(Trimmed(Value), " ");
    Query.OrderField = Upper(words.front());
    const std::string direction = words.size() > 1 ? Upper(words.back()) : "ASC";
    if (std::find(KnownFields.begin(), KnownFields.end(), Query.OrderField) == KnownFields.end() || words.size() > 2
        || (direction != "ASC" && direction != "DESC"))
        throw EGpQueryError("Cannot order by " + Value);
    Query.Descending = direction == "DESC";
}

std::string Iso(double Days)
{
    using namespace std::chrono;
    const auto micro = static_cast<long long>(std::llround(Days * 86400e6));
    const sys_time<microseconds> time{microseconds(micro)};
    const sys_days day = floor<days>(time);
    const year_month_day date(day);
    const long long inDay = (time - day).count();
    char text[96];
    std::snprintf(text, sizeof text, "%04d-%02u-%02uT%02lld:%02lld:%02lld.%06lld", static_cast<int>(date.year()),
                  static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()), inDay / 3600000000,
                  inDay / 60000000 % 60, inDay / 1000000 % 60, inDay % 1000000);
    return text;
}

std::string JsonText(std::string_view Text)
{
    std::string quoted = "\"";
    for (const char c : Text) {
        if (c == '"' || c == '\\')
            quoted += '\\';
        if (static_cast<unsigned char>(c) < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(c));
            quoted += escaped;
        } else {
            quoted += c;
        }
    }
    return quoted + "\"";
}

std::string Fixed(double Value, int Decimals)
{
    char text[40];
    std::snprintf(text, sizeof text, "%.*f", Decimals, Value);
    return text;
}

// What the name says the object is.
std::string ObjectTypeOf(const std::string& Name)
{
    const std::string upper = Upper(Name);
    return upper.find("R/B") != std::string::npos   ? "ROCKET BODY"
           : upper.find("DEB") != std::string::npos ? "DEBRIS"
                                                    : "PAYLOAD";
}

// The OMM mean-element fields, each as a JSON string, without the braces.
std::string OmmStringFields(const TOmmRecord& Omm)
{
    return "\"OBJECT_NAME\":" + JsonText(Omm.ObjectName) + ",\"OBJECT_ID\":" + JsonText(Omm.ObjectId)
           + ",\"NORAD_CAT_ID\":" + JsonText(Omm.NoradCatId) + ",\"EPOCH\":" + JsonText(Omm.Epoch)
           + ",\"MEAN_MOTION\":" + JsonText(Omm.MeanMotion) + ",\"ECCENTRICITY\":" + JsonText(Omm.Eccentricity)
           + ",\"INCLINATION\":" + JsonText(Omm.Inclination) + ",\"RA_OF_ASC_NODE\":" + JsonText(Omm.RaOfAscNode)
           + ",\"ARG_OF_PERICENTER\":" + JsonText(Omm.ArgOfPericenter)
           + ",\"MEAN_ANOMALY\":" + JsonText(Omm.MeanAnomaly) + ",\"EPHEMERIS_TYPE\":" + JsonText(Omm.EphemerisType)
           + ",\"CLASSIFICATION_TYPE\":" + JsonText(Omm.ClassificationType)
           + ",\"ELEMENT_SET_NO\":" + JsonText(Omm.ElementSetNo) + ",\"REV_AT_EPOCH\":" + JsonText(Omm.RevAtEpoch)
           + ",\"BSTAR\":" + JsonText(Omm.Bstar) + ",\"MEAN_MOTION_DOT\":" + JsonText(Omm.MeanMotionDot)
           + ",\"MEAN_MOTION_DDOT\":" + JsonText(Omm.MeanMotionDdot);
}

// The fields Space-Track's objects begin with, before the mean elements.
constexpr std::string_view MessageFields =
    "\"CCSDS_OMM_VERS\":\"3.0\",\"COMMENT\":\"GENERATED VIA SPACE-TRACK.ORG API\",\"ORIGINATOR\":\"18 SPCS\",";

// The period in minutes that Space-Track gives after the mean elements.
std::string PeriodField(double MeanMotion)
{
    return ",\"PERIOD\":" + (MeanMotion > 0 ? JsonText(Fixed(1440 / MeanMotion, 3)) : std::string("null"));
}

std::string OmmStringsObject(const TGpRecord& Record)
{
    return "{" + std::string(MessageFields) + OmmStringFields(*Record.Omm) + PeriodField(Record.MeanMotion)
           + ",\"TLE_LINE0\":null,\"TLE_LINE1\":null,\"TLE_LINE2\":null}";
}

// Every field as a JSON string, as Space-Track writes them: the OMM mean elements beside the
// element lines themselves and the fields of the message and the object around them.
std::string JsonObject(const TGpRecord& Record)
{
    if (Record.Omm)
        return OmmStringsObject(Record);
    TOmmRecord omm = OmmRecordOf(Record.ObjectName, Record.Line1, Record.Line2);
    omm.ObjectName = Record.ObjectName;
    omm.NoradCatId = std::to_string(Record.NoradCatId);
    omm.Epoch = Record.Epoch;
    omm.MeanMotion = Fixed(Record.MeanMotion, 8);
    omm.Eccentricity = Fixed(Record.Eccentricity, 7);
    return "{" + std::string(MessageFields) + OmmStringFields(omm) + PeriodField(Record.MeanMotion)
           + ",\"OBJECT_TYPE\":" + JsonText(Record.ObjectType)
           + ",\"DECAY_DATE\":" + (Record.DecayDate ? JsonText(*Record.DecayDate) : "null")
           + ",\"TLE_LINE0\":" + JsonText("0 " + Record.ObjectName) + ",\"TLE_LINE1\":" + JsonText(Record.Line1)
           + ",\"TLE_LINE2\":" + JsonText(Record.Line2) + "}";
}

} // namespace

std::string PercentDecoded(std::string_view Text)
{
    std::string decoded;
    for (std::size_t at = 0; at < Text.size(); ++at) {
        unsigned value = 0;
        if (Text[at] == '%' && at + 2 < Text.size()
            && std::from_chars(Text.data() + at + 1, Text.data() + at + 3, value, 16).ptr == Text.data() + at + 3) {
            decoded += static_cast<char>(value);
            at += 2;
        } else {
            decoded += Text[at];
        }
    }
    return decoded;
}

TGpQuery ParseGpQuery(std::string_view Path)
{
    std::vector<std::string> segments;
    for (const std::string& segment : SplitAt(Path, "/"))
        if (!segment.empty())
            segments.push_back(PercentDecoded(segment));
    if (segments.size() % 2 != 0)
        throw EGpQueryError("No value for " + segments.back());
    TGpQuery query;
    for (std::size_t at = 0; at < segments.size(); at += 2) {
        const std::string key = Upper(segments[at]);
        const std::string& value = segments[at + 1];
        if (key == "ORDERBY")
            ReadOrder(value, query);
        else if (key == "FORMAT")
            query.Format = value;
        else
            query.Predicates.push_back(PredicateOf(key, value));
    }
    if (query.Format.empty())
        query.Format = "json";
    if (query.Format != "json" && query.Format != "csv" && query.Format != "3le" && query.Format != "tle")
        throw EGpQueryError("Unknown format " + query.Format);
    return query;
}

TGpRecord GpRecordOf(std::string_view Name, std::string_view Line1, std::string_view Line2)
{
    TGpRecord record;
    record.ObjectName = std::string(Trimmed(Name.starts_with("0 ") ? Name.substr(2) : Name));
    record.Line1 = std::string(Trimmed(Line1));
    record.Line2 = std::string(Trimmed(Line2));
    const std::optional<int> number = CatalogueNumberValue(FieldText(Line1, Line1::CatalogueNumber));
    if (!number)
        throw EGpQueryError("No catalogue number in " + record.Line1);
    record.NoradCatId = *number;
    const std::string epoch(FieldText(Line1, Line1::Epoch));
    const std::optional<double> year = NumberIn(
        std::string_view(epoch).substr(0, std::min<std::size_t>(2, epoch.size())));
    const std::optional<double> day = NumberIn(epoch.size() > 2 ? std::string_view(epoch).substr(2) : "");
    const int fullYear = static_cast<int>(year.value_or(0)) + (year.value_or(0) < 57 ? 2000 : 1900);
    record.EpochDays = DaysOf(std::chrono::year(fullYear) / 1 / 1) + day.value_or(1) - 1;
    record.Epoch = Iso(record.EpochDays);
    record.MeanMotion = NumberIn(FieldText(Line2, Line2::MeanMotion)).value_or(0);
    record.Eccentricity = NumberIn("0." + std::string(Trimmed(FieldText(Line2, Line2::Eccentricity)))).value_or(0);
    record.ObjectType = ObjectTypeOf(record.ObjectName);
    return record;
}

TGpRecord GpRecordOfOmm(const TOmmRecord& Omm)
{
    TGpRecord record;
    record.ObjectName = Omm.ObjectName;
    const std::optional<double> number = NumberIn(Omm.NoradCatId);
    if (!number || *number < 0 || *number > 999999999)
        throw EGpQueryError("No catalogue number in " + Omm.NoradCatId);
    record.NoradCatId = static_cast<int>(*number);
    record.EpochDays = EpochValue(Omm.Epoch, 0);
    record.Epoch = Omm.Epoch;
    record.MeanMotion = NumberIn(Omm.MeanMotion).value_or(0);
    record.Eccentricity = NumberIn(Omm.Eccentricity).value_or(0);
    record.ObjectType = ObjectTypeOf(record.ObjectName);
    record.Omm = Omm;
    return record;
}

bool GpMatches(const TGpQuery& Query, const TGpRecord& Record, double NowDays)
{
    return std::all_of(Query.Predicates.begin(), Query.Predicates.end(),
                       [&](const TGpPredicate& Predicate) { return Passes(Predicate, Record, NowDays); });
}

std::vector<TGpRecord> GpSelect(const TGpQuery& Query, std::vector<TGpRecord> Records, double NowDays)
{
    std::vector<TGpRecord> passed;
    for (TGpRecord& record : Records)
        if (GpMatches(Query, record, NowDays))
            passed.push_back(std::move(record));
    std::sort(passed.begin(), passed.end(),
              [](const TGpRecord& A, const TGpRecord& B) { return A.NoradCatId < B.NoradCatId; });
    // Sets that tie keep catalogue-number order either way.
    std::stable_sort(passed.begin(), passed.end(), [&](const TGpRecord& A, const TGpRecord& B) {
        return Query.Descending ? OrderedBefore(Query.OrderField, B, A) : OrderedBefore(Query.OrderField, A, B);
    });
    return passed;
}

std::string GpAnswer(const TGpQuery& Query, const std::vector<TGpRecord>& Records)
{
    std::string answer;
    if (Query.Format == "json") {
        for (const TGpRecord& record : Records)
            answer += (answer.empty() ? "[" : ",") + JsonObject(record);
        return answer.empty() ? "[]" : answer + "]";
    }
    if (Query.Format == "csv") {
        std::vector<TOmmRecord> records;
        records.reserve(Records.size());
        for (const TGpRecord& record : Records)
            records.push_back(record.Omm ? *record.Omm : OmmRecordOf(record.ObjectName, record.Line1, record.Line2));
        return OmmCsv(records);
    }
    for (const TGpRecord& record : Records) {
        if (record.Omm)
            continue;
        if (Query.Format == "3le")
            answer += "0 " + record.ObjectName + "\r\n";
        answer += record.Line1 + "\r\n" + record.Line2 + "\r\n";
    }
    return answer;
}

} // namespace elsetry::service
