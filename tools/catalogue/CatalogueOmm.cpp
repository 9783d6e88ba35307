#include "tools/catalogue/CatalogueOmm.h"

#include "text/Calendar.h"
#include "text/CatalogueNumber.h"
#include "text/Strings.h"

#include <array>
#include <cstdio>
#include <string_view>

namespace elsetry {

namespace {

// Field names in CelesTrak's order, and whether JSON writes the field as a string.
struct TField {
    const char* Name;
    bool Text;
};
constexpr std::array<TField, 17> Fields{{
    {"OBJECT_NAME", true}, {"OBJECT_ID", true}, {"EPOCH", true}, {"MEAN_MOTION", false},
    {"ECCENTRICITY", false}, {"INCLINATION", false}, {"RA_OF_ASC_NODE", false}, {"ARG_OF_PERICENTER", false},
    {"MEAN_ANOMALY", false}, {"EPHEMERIS_TYPE", false}, {"CLASSIFICATION_TYPE", true}, {"NORAD_CAT_ID", false},
    {"ELEMENT_SET_NO", false}, {"REV_AT_EPOCH", false}, {"BSTAR", false}, {"MEAN_MOTION_DOT", false},
    {"MEAN_MOTION_DDOT", false},
}};

using TValues = std::array<std::string, Fields.size()>;

std::string Columns(const std::string& Line, std::size_t First, std::size_t Width)
{
    return std::string(Trim(std::string_view(Line).substr(First - 1, Width)));
}

// "98067A" is 1998-067A; two-digit years from 57 stand for the 1900s.
std::string ObjectId(const std::string& Designator)
{
    if (Designator.size() < 5)
        return {};
    const int year = std::stoi(Designator.substr(0, 2));
    return std::to_string(year < 57 ? 2000 + year : 1900 + year) + "-" + Designator.substr(2);
}

// "20348.69171878" is 2020-12-13T16:36:04.502592: 10^-8 day is exactly 864 microseconds.
std::string Epoch(const std::string& Text)
{
    const int twoDigits = std::stoi(Text.substr(0, 2));
    const int year = twoDigits < 57 ? 2000 + twoDigits : 1900 + twoDigits;
    int day = std::stoi(Text.substr(2, 3));
    int month = 1;
    while (day > DaysInMonth(year, month))
        day -= DaysInMonth(year, month++);
    const long long micros = std::stoll(Text.substr(6, 8)) * 864;
    const long long seconds = micros / 1000000;
    char text[96];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02lld:%02lld:%02lld.%06lld", year, month, day, seconds / 3600,
                  seconds / 60 % 60, seconds % 60, micros % 1000000);
    return text;
}

// " .00016717" is 0.00016717.
std::string FirstDerivative(const std::string& Field)
{
    return (Field[0] == '-' ? "-0" : "0") + Field.substr(1);
}

// " 10270-3" is 0.10270E-3; Leading is what stands before the point.
std::string Exponent(const std::string& Field, const char* Leading)
{
    if (Field.substr(1, 5) == "00000")
        return "0";
    return (Field[0] == '-' ? "-" : "") + std::string(Leading) + "." + Field.substr(1, 5) + "E" +
           (Field[6] == '-' ? "-" : "") + Field.substr(7, 1);
}

TValues ValuesOf(const std::string& Name, const std::string& L1, const std::string& L2, const char* Leading)
{
    return {Name,
            ObjectId(Columns(L1, 10, 8)),
            Epoch(Columns(L1, 19, 14)),
            Columns(L2, 53, 11),
            "0." + Columns(L2, 27, 7),
            Columns(L2, 9, 8),
            Columns(L2, 18, 8),
            Columns(L2, 35, 8),
            Columns(L2, 44, 8),
            Columns(L1, 63, 1),
            Columns(L1, 8, 1),
            std::to_string(CatalogueNumberValue(L1.substr(2, 5)).value_or(0)),
            Columns(L1, 65, 4),
            Columns(L2, 64, 5),
            Exponent(L1.substr(53, 8), Leading),
            FirstDerivative(L1.substr(33, 10)),
            Exponent(L1.substr(44, 8), Leading)};
}

std::string CsvField(const std::string& Value)
{
    if (Value.find_first_of(",\"\r\n") == std::string::npos)
        return Value;
    std::string quoted = "\"";
    for (const char c : Value)
        quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    return quoted + "\"";
}

std::string JsonString(const std::string& Value)
{
    std::string quoted = "\"";
    for (const char c : Value)
        quoted += c == '"' || c == '\\' ? std::string("\\") + c : std::string(1, c);
    return quoted + "\"";
}

} // namespace

std::string CatalogueAsOmmCsv(const std::vector<std::string>& Lines)
{
    std::string csv;
    for (std::size_t i = 0; i < Fields.size(); ++i)
        csv += std::string(i ? "," : "") + Fields[i].Name;
    csv += "\r\n";
    for (std::size_t set = 0; set + 2 < Lines.size(); set += 3) {
        const TValues values = ValuesOf(Lines[set], Lines[set + 1], Lines[set + 2], "");
        for (std::size_t i = 0; i < values.size(); ++i)
            csv += (i ? "," : "") + CsvField(values[i]);
        csv += "\r\n";
    }
    return csv;
}

std::string CatalogueAsOmmJson(const std::vector<std::string>& Lines)
{
    std::string json = "[";
    for (std::size_t set = 0; set + 2 < Lines.size(); set += 3) {
        const TValues values = ValuesOf(Lines[set], Lines[set + 1], Lines[set + 2], "0");
        json += set ? ",{" : "{";
        for (std::size_t i = 0; i < values.size(); ++i)
            json += std::string(i ? "," : "") + "\"" + Fields[i].Name + "\":" +
                    (Fields[i].Text ? JsonString(values[i]) : values[i]);
        json += "}";
    }
    return json + "]";
}

} // namespace elsetry
