#include "tools/catalogue-service/CelesTrakGroups.h"

#include "tools/catalogue-service/CatalogueService.h"
#include "tools/catalogue-service/OmmFields.h"
#include "elements/ElementColumns.h"
#include "elements/OmmRecord.h"
#include "text/CatalogueNumber.h"
#include "text/Strings.h"

#include <httplib.h>

#include <algorithm>
#include <array>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <utility>

namespace elsetry::service {

namespace {

constexpr const char* NoData = "No GP data found";
constexpr const char* TextType = "text/plain";
constexpr std::size_t NameColumns = 24;
constexpr std::array<const char*, 3> SelectingKeys{"GROUP", "NAME", "CATNR"};

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

int NumberOfSet(const TSet& Set)
{
    return CatalogueNumberValue(FieldText(Set[1], Line1::CatalogueNumber)).value_or(-1);
}

std::string NameOf(const TSet& Set)
{
    return std::string(Trim(std::string_view(Set[0]).starts_with("0 ") ? std::string_view(Set[0]).substr(2) : Set[0]));
}

std::string ElementLinesText(const std::vector<TSet>& Sets, const std::string& Form)
{
    std::string text;
    for (const TSet& set : Sets) {
        if (NumberOfSet(set) >= FirstAlpha5Number)
            continue;
        const std::string name = NameOf(set);
        if (Form == "tle")
            text += name + std::string(NameColumns - std::min(NameColumns, name.size()), ' ') + "\r\n";
        else if (Form == "3le")
            text += "0 " + name + "\r\n";
        text += CelesTrakLine(std::string(Trim(set[1]))) + "\r\n" + std::string(Trim(set[2])) + "\r\n";
    }
    return text;
}

// The query field that selects the sets, as sent: "GROUP=weather".
std::pair<std::string, std::string> Selector(const httplib::Request& Request)
{
    for (const char* key : SelectingKeys)
        if (Request.has_param(key))
            return {key, Request.get_param_value(key)};
    return {};
}

const char* StatusText(int Status)
{
    switch (Status) {
    case 500:
        return "Internal Server Error";
    case 502:
        return "Bad Gateway";
    case 503:
        return "Service Unavailable";
    case 504:
        return "Gateway Timeout";
    default:
        return "Error";
    }
}

std::string UtcText(std::chrono::system_clock::time_point Time)
{
    const std::time_t seconds = std::chrono::system_clock::to_time_t(Time);
    std::tm utc{};
    gmtime_r(&seconds, &utc);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &utc);
    return text;
}

std::string ReadFile(const std::string& Path)
{
    std::ifstream in(Path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

} // namespace

std::string CelesTrakLine(std::string Line)
{
    if (Line.size() < 69 || !Line.starts_with("1 "))
        return Line;
    for (const std::size_t at : {std::size_t{44}, std::size_t{53}})
        if (Line.compare(at, 8, " 00000-0") == 0)
            Line[at + 6] = '+';
    int sum = 0;
    for (std::size_t i = 0; i < 68; ++i)
        sum += Line[i] >= '0' && Line[i] <= '9' ? Line[i] - '0' : Line[i] == '-' ? 1 : 0;
    Line[68] = static_cast<char>('0' + sum % 10);
    return Line;
}

std::optional<int> CelesTrakGroupFile(std::string_view Name)
{
    for (const auto& [name, id] : Groups)
        if (SameText(name, Name))
            return id;
    return std::nullopt;
}

std::optional<std::vector<TSet>> SelectedSets(const std::string& Folder, std::string_view Key, std::string_view Value)
{
    if (Key == "GROUP") {
        const std::optional<int> file = CelesTrakGroupFile(Value);
        return file ? std::optional(GroupSets(Folder, *file)) : std::nullopt;
    }
    if (Key != "NAME" && Key != "CATNR")
        return std::nullopt;
    const std::optional<int> number = Key == "CATNR" ? CatalogueNumberValue(Value) : std::nullopt;
    const std::string text = LowerCase(Value);
    std::vector<TSet> sets;
    for (TSet& set : AllSets(Folder)) {
        const bool chosen = Key == "CATNR" ? number && NumberOfSet(set) == *number
                                           : !text.empty() && LowerCase(NameOf(set)).find(text) != std::string::npos;
        if (chosen)
            sets.push_back(std::move(set));
    }
    return sets;
}

std::optional<std::string> GpAnswerText(const std::vector<TSet>& Sets, std::string_view Format,
                                        const std::string& ExtraRows)
{
    const std::string form = LowerCase(Format);
    if (form.empty() || form == "csv") {
        std::vector<TOmmRecord> records;
        for (const TSet& set : Sets)
            records.push_back(OmmRecordOf(set[0], set[1], set[2]));
        return OmmCsv(records) + ExtraRows;
    }
    if (form == "tle" || form == "3le" || form == "2le")
        return ElementLinesText(Sets, form);
    return std::nullopt;
}

std::string ExtraCsvRows(const std::string& Path)
{
    const std::string text = ReadFile(Path);
    const std::size_t end = text.find('\n');
    return end == std::string::npos ? std::string() : text.substr(end + 1);
}

// The row of the object of Number in the groups' "<ID>.csv" files, for a CATNR query of a
// number past what element lines hold; empty when none holds it or a file does not read.
std::string PastElementLineRow(const std::string& Folder, std::string_view Number)
{
    if (!AllDigits(Number) || CatalogueNumberValue(Number))
        return {};
    for (const std::string& file : FolderFiles(Folder, ".csv")) {
        try {
            for (const TOmmRecord& record : ReadOmmCsv(ReadFile(file)))
                if (Trim(record.NoradCatId) == Number)
                    return OmmCsvRow(record);
        } catch (const EOmmFormat&) {
            continue;
        }
    }
    return {};
}

std::chrono::system_clock::time_point TCatalogueService::GpNow() const
{
    return Options.GpClock ? Options.GpClock() : std::chrono::system_clock::now();
}

bool TCatalogueService::RefusesRepeat(const std::string& Target, const std::string& Selector,
                                      httplib::Response& Response)
{
    if (Options.GpUpdateWindow.count() <= 0)
        return false;
    const std::chrono::system_clock::time_point now = GpNow();
    std::chrono::system_clock::time_point last;
    {
        const std::lock_guard guard(Lock);
        const auto download = GpDownloads.find(Target);
        if (download == GpDownloads.end() || now - download->second >= Options.GpUpdateWindow)
            return false;
        last = download->second;
    }
    // CelesTrak breaks its sentence over lines.
    Response.status = Options.GpRepeatAnswered200 ? 200 : 403;
    Response.set_content("GP data has not updated since your last successful\r\ndownload of " + Selector + " at "
                             + UtcText(last) + " UTC.\r\nData is updated once every "
                             + std::to_string(Options.GpUpdateWindow.count()) + " minutes.\r\n",
                         TextType);
    return true;
}

void TCatalogueService::RememberDownload(const std::string& Target)
{
    const std::chrono::system_clock::time_point now = GpNow();
    const std::lock_guard guard(Lock);
    GpDownloads[Target] = now;
}

void TCatalogueService::CelesTrakGroup(const httplib::Request& Request, httplib::Response& Response)
{
    if (!Options.CelesTrakGroups) {
        NotFound(Request, Response);
        return;
    }
    if (Options.GpOneHost && Request.get_header_value("Host") != "127.0.0.1:" + std::to_string(BoundPort)) {
        Response.set_redirect(Address() + Request.target, 301);
        return;
    }
    const auto [key, value] = Selector(Request);
    const std::string selector = key + "=" + value;
    const TServiceFaults faults = CurrentFaults();
    for (const std::string& fault : {selector, std::string("*")})
        if (const auto error = faults.GpErrors.find(fault); error != faults.GpErrors.end()) {
            Response.status = error->second;
            Response.set_content(StatusText(error->second), TextType);
            return;
        }
    if (RefusesRepeat(Request.target, selector, Response))
        return;
    const std::optional<std::vector<TSet>> sets = SelectedSets(Options.DataFolder, key, value);
    const std::optional<int> file = key == "GROUP" ? CelesTrakGroupFile(value) : std::nullopt;
    const std::string extra = file             ? ExtraCsvRows(Options.DataFolder + "/" + std::to_string(*file) + ".csv")
                              : key == "CATNR" ? PastElementLineRow(Options.DataFolder, value)
                                               : "";
    // A group with no members is answered with the CSV header alone.
    if (!sets || (sets->empty() && !file && extra.empty())) {
        Response.status = 404;
        Response.set_content(NoData, TextType);
        return;
    }
    const std::optional<std::string> answer = GpAnswerText(*sets, Request.get_param_value("FORMAT"), extra);
    if (!answer) {
        Response.status = 400;
        Response.set_content("Invalid FORMAT", TextType);
        return;
    }
    if (answer->empty()) {
        Response.status = 404;
        Response.set_content(NoData, TextType);
        return;
    }
    RememberDownload(Request.target);
    const bool csv = answer->starts_with(OmmCsvHeader);
    ServeData(std::make_shared<const std::string>(*answer), csv ? "text/csv" : TextType,
              faults.GpStalls.count(selector) != 0 ? TTransferFault::Stall : TTransferFault::None, faults, Response,
              AcceptsGzip(Request));
}

} // namespace elsetry::service
