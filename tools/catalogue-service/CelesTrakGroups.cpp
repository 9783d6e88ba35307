#include "tools/catalogue-service/CelesTrakGroups.h"

#include "tools/catalogue-service/CatalogueService.h"

#include <httplib.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdio>
#include <utility>

namespace elsetry::service {

namespace {

// CelesTrak's group names beside the IDs of the group files the stand-in keeps.
constexpr std::array<std::pair<std::string_view, int>, 11> Groups{{
    {"active", 2},
    {"amateur", 20},
    {"geo", 4},
    {"globalstar", 14},
    {"intelsat", 16},
    {"iridium-NEXT", 10},
    {"gnss", 6},
    {"orbcomm", 12},
    {"last-30-days", 24},
    {"visual", 22},
    {"weather", 8},
}};

bool SameLetters(std::string_view A, std::string_view B)
{
    return A.size() == B.size() && std::equal(A.begin(), A.end(), B.begin(), [](char X, char Y) {
               return std::tolower(static_cast<unsigned char>(X)) == std::tolower(static_cast<unsigned char>(Y));
           });
}

// A field quoted when it holds a comma, a quote or a line break, as RFC 4180 has it.
std::string CsvField(const std::string& Text)
{
    if (Text.find_first_of(",\"\r\n") == std::string::npos)
        return Text;
    std::string quoted = "\"";
    for (const char c : Text)
        quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    return quoted + "\"";
}

std::string Fixed(double Value, int Decimals)
{
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", Decimals, Value);
    return text;
}

} // namespace

std::optional<int> CelesTrakGroupFile(std::string_view Name)
{
    for (const auto& [name, id] : Groups)
        if (SameLetters(name, Name))
            return id;
    return std::nullopt;
}

std::string MembershipCsv(const std::vector<TGpRecord>& Records)
{
    std::string csv = "OBJECT_NAME,EPOCH,MEAN_MOTION,ECCENTRICITY,NORAD_CAT_ID\r\n";
    for (const TGpRecord& record : Records)
        csv += CsvField(record.ObjectName) + "," + record.Epoch + "," + Fixed(record.MeanMotion, 8) + ","
               + Fixed(record.Eccentricity, 7) + "," + std::to_string(record.NoradCatId) + "\r\n";
    return csv;
}

void TCatalogueService::CelesTrakGroup(const httplib::Request& Request, httplib::Response& Response)
{
    if (!Options.CelesTrakGroups) {
        NotFound(Request, Response);
        return;
    }
    const std::optional<int> file = CelesTrakGroupFile(Request.get_param_value("GROUP"));
    if (!SameLetters(Request.get_param_value("FORMAT"), "csv") || !file) {
        Response.status = 404;
        Response.set_content("No GP data found", "text/plain");
        return;
    }
    std::vector<TGpRecord> records;
    for (const auto& set : GroupSets(Options.DataFolder, *file))
        records.push_back(GpRecordOf(set[0], set[1], set[2]));
    Response.set_content(MembershipCsv(records), "text/csv");
}

} // namespace elsetry::service
