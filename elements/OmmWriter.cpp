#include "elements/OmmWriter.h"

#include "elements/ElementColumns.h"
#include "elements/OmmFields.h"
#include "orbit/EpochTime.h"
#include "text/CatalogueNumber.h"
#include "text/Strings.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <optional>

namespace elsetry {

namespace {

// The element set number as the services write it, right-aligned in four columns.
constexpr TColumns ElementSetNumber{65, 4};
// A day's fraction in eight digits counts units of 864 microseconds.
constexpr long long MicrosecondsPerEighthDigit = 864;

int FullYear(int TwoDigits)
{
    return TwoDigits + (TwoDigits < FirstTwoDigitYear ? 2000 : 1900);
}

std::string Trimmed(std::string_view Line, TColumns Field)
{
    return std::string(Trim(FieldText(Line, Field)));
}

// "0." followed by Digits, moved Exponent places: the value 0.Digits x 10^Exponent written out
// in full, trailing zeros of the fraction and a zero value's sign left out.
std::string DecimalText(bool Negative, std::string Digits, int Exponent)
{
    if (Digits.find_first_not_of('0') == std::string::npos)
        return "0";
    std::string whole = "0";
    if (Exponent < 0) {
        Digits.insert(0, static_cast<std::size_t>(-Exponent), '0');
    } else if (static_cast<std::size_t>(Exponent) >= Digits.size()) {
        whole = Digits + std::string(static_cast<std::size_t>(Exponent) - Digits.size(), '0');
        Digits.clear();
    } else if (Exponent > 0) {
        whole = Digits.substr(0, static_cast<std::size_t>(Exponent));
        Digits.erase(0, static_cast<std::size_t>(Exponent));
    }
    whole.erase(0, std::min(whole.find_first_not_of('0'), whole.size() - 1));
    Digits.erase(Digits.find_last_not_of('0') + 1);
    return (Negative ? "-" : "") + whole + (Digits.empty() ? "" : "." + Digits);
}

// " 35336-4" as ".35336E-4": a sign, five digits behind an implied point, and a signed power of
// ten, as CelesTrak writes the drag term.
std::string ExponentFieldText(std::string_view Line, TColumns Field)
{
    const std::string_view text = FieldText(Line, Field);
    if (text.size() != 8 || (text[0] != ' ' && text[0] != '-' && text[0] != '+') || !AllDigits(text.substr(1, 5))
        || (text[6] != '-' && text[6] != '+') || !AllDigits(text.substr(7)))
        return std::string(Trim(text));
    if (text.substr(1, 5) == "00000")
        return "0";
    const int exponent = (text[6] == '-' ? -1 : 1) * (text[7] - '0');
    return std::string(text[0] == '-' ? "-" : "") + "." + std::string(text.substr(1, 5)) + "E"
           + std::to_string(exponent);
}

// " .00012345" as "0.00012345", and values below 0.0001 with a power of ten, "-.00000643" as
// "-6.43E-6", as CelesTrak writes the first derivative.
std::string FirstDerivativeText(std::string_view Line)
{
    const std::string_view text = Trim(FieldText(Line, Line1::MeanMotionDot));
    const bool negative = text.starts_with('-');
    const std::string_view point = text.substr(negative || text.starts_with('+') ? 1 : 0);
    if (!point.starts_with('.') || !AllDigits(point.substr(1)))
        return std::string(text);
    std::string digits(point.substr(1));
    const std::size_t first = digits.find_first_not_of('0');
    if (first == std::string::npos || first < 4)
        return DecimalText(negative, digits, 0);
    digits.erase(digits.find_last_not_of('0') + 1);
    const std::string rest = digits.substr(first + 1);
    return (negative ? "-" : "") + digits.substr(first, 1) + (rest.empty() ? "" : "." + rest) + "E-"
           + std::to_string(first + 1);
}

// "98067A" as "1998-067A".
std::string ObjectIdText(std::string_view Line)
{
    const std::string designator = Trimmed(Line, Line1::Designator);
    if (designator.size() < 5 || !AllDigits(std::string_view(designator).substr(0, 5)))
        return designator;
    return std::to_string(FullYear(std::stoi(designator.substr(0, 2)))) + "-" + designator.substr(2);
}

// "24005.50000000" as "2024-01-05T12:00:00.000000".
std::string EpochText(std::string_view Line)
{
    const std::string field = Trimmed(Line, Line1::Epoch);
    const std::size_t point = field.find('.');
    const std::string fraction = point == std::string::npos ? std::string() : field.substr(point + 1);
    if (point != 5 || !AllDigits(std::string_view(field).substr(0, 5)) || fraction.size() > 8
        || (!fraction.empty() && !AllDigits(fraction)))
        return field;
    using namespace std::chrono;
    const int year = FullYear(std::stoi(field.substr(0, 2)));
    const sys_days day = sys_days(std::chrono::year(year) / 1 / 1) + days(std::stoi(field.substr(2, 3)) - 1);
    const year_month_day date(day);
    const long long units = fraction.empty() ? 0 : std::stoll(fraction + std::string(8 - fraction.size(), '0'));
    const long long micro = units * MicrosecondsPerEighthDigit;
    char text[64];
    std::snprintf(text, sizeof text, "%04d-%02u-%02uT%02lld:%02lld:%02lld.%06lld", static_cast<int>(date.year()),
                  static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()), micro / 3600000000,
                  micro / 60000000 % 60, micro / 1000000 % 60, micro % 1000000);
    return text;
}

std::string NumberText(std::string_view Line)
{
    const std::string_view field = FieldText(Line, Line1::CatalogueNumber);
    const std::optional<int> number = CatalogueNumberValue(field);
    return number ? std::to_string(*number) : std::string(Trim(field));
}

std::string CsvField(const std::string& Text)
{
    if (Text.find_first_of(",\"\r\n") == std::string::npos)
        return Text;
    std::string quoted = "\"";
    for (const char c : Text)
        quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    return quoted + "\"";
}

// Text as a JSON string: quotes, backslashes and control characters escaped.
std::string JsonString(std::string_view Text)
{
    std::string quoted = "\"";
    for (const char c : Text) {
        if (c == '"' || c == '\\') {
            quoted += '\\';
            quoted += c;
        } else if (static_cast<unsigned char>(c) < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(static_cast<unsigned char>(c)));
            quoted += escaped;
        } else {
            quoted += c;
        }
    }
    return quoted + "\"";
}

// A decimal text as JSON writes numbers: no "+" sign, no leading zeros, a zero before a leading
// point ("-.5E-4" as -0.5E-4). Nothing for a text that is no decimal number.
std::optional<std::string> JsonNumber(std::string_view Text)
{
    std::string number;
    if (!Text.empty() && (Text.front() == '-' || Text.front() == '+')) {
        if (Text.front() == '-')
            number += '-';
        Text.remove_prefix(1);
    }
    const std::size_t exponent = std::min(Text.find_first_of("eE"), Text.size());
    std::string_view mantissa = Text.substr(0, exponent);
    const std::size_t point = std::min(mantissa.find('.'), mantissa.size());
    std::string_view whole = mantissa.substr(0, point);
    const std::string_view fraction = point < mantissa.size() ? mantissa.substr(point + 1) : std::string_view();
    if ((whole.empty() && fraction.empty()) || (!whole.empty() && !AllDigits(whole))
        || (!fraction.empty() && !AllDigits(fraction)))
        return std::nullopt;
    while (whole.size() > 1 && whole.front() == '0')
        whole.remove_prefix(1);
    number += whole.empty() ? std::string_view("0") : whole;
    if (!fraction.empty())
        number += "." + std::string(fraction);
    if (exponent < Text.size()) {
        std::string_view power = Text.substr(exponent + 1);
        const bool negative = power.starts_with('-');
        if (negative || power.starts_with('+'))
            power.remove_prefix(1);
        if (power.empty() || !AllDigits(power))
            return std::nullopt;
        number += std::string(negative ? "E-" : "E") + std::string(power);
    }
    return number;
}

} // namespace

TOmmRecord OmmRecordOf(std::string_view Name, std::string_view Line1, std::string_view Line2)
{
    TOmmRecord record;
    record.ObjectName = std::string(Trim(Name.starts_with("0 ") ? Name.substr(2) : Name));
    record.ObjectId = ObjectIdText(Line1);
    record.Epoch = EpochText(Line1);
    record.MeanMotion = Trimmed(Line2, Line2::MeanMotion);
    record.Eccentricity = "." + Trimmed(Line2, Line2::Eccentricity);
    record.Inclination = Trimmed(Line2, Line2::Inclination);
    record.RaOfAscNode = Trimmed(Line2, Line2::AscendingNode);
    record.ArgOfPericenter = Trimmed(Line2, Line2::ArgumentOfPerigee);
    record.MeanAnomaly = Trimmed(Line2, Line2::MeanAnomaly);
    record.EphemerisType = Trimmed(Line1, Line1::EphemerisType);
    record.ClassificationType = Trimmed(Line1, Line1::Classification);
    record.NoradCatId = NumberText(Line1);
    record.ElementSetNo = Trimmed(Line1, ElementSetNumber);
    record.RevAtEpoch = Trimmed(Line2, Line2::RevolutionNumber);
    record.Bstar = ExponentFieldText(Line1, Line1::Drag);
    record.MeanMotionDot = FirstDerivativeText(Line1);
    record.MeanMotionDdot = ExponentFieldText(Line1, Line1::MeanMotionDDot);
    return record;
}

std::string OmmCsvRow(const TOmmRecord& Record, std::string_view LineEnd)
{
    std::string row;
    for (std::size_t field = 0; field < OmmFields.size(); ++field)
        row += (field == 0 ? "" : ",") + CsvField(Record.*OmmFields[field].Member);
    return row + std::string(LineEnd);
}

std::string OmmCsv(const std::vector<TOmmRecord>& Records)
{
    std::string csv = std::string(OmmCsvHeader) + "\r\n";
    for (const TOmmRecord& record : Records)
        csv += OmmCsvRow(record);
    return csv;
}

std::string OmmJsonObject(const TOmmRecord& Record)
{
    std::string object = "{";
    for (const TOmmField& field : OmmFields) {
        const std::string& text = Record.*field.Member;
        object += (object.size() > 1 ? ",\"" : "\"") + std::string(field.Name) + "\":";
        if (IsTextField(field))
            object += JsonString(text);
        else if (text.empty())
            object += "null";
        else if (const std::optional<std::string> number = JsonNumber(text))
            object += *number;
        else
            object += JsonString(text);
    }
    return object + "}";
}

} // namespace elsetry
