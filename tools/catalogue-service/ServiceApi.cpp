// The stand-in's query API: log in and out under /ajaxauth, element sets under /basicspacedata.

#include "tools/catalogue-service/CatalogueService.h"
#include "tools/catalogue-service/GpQuery.h"
#include "tools/catalogue-service/ServiceSession.h"
#include "platform/TextFile.h"

#include <httplib.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <memory>
#include <set>

namespace elsetry::service {

namespace {

constexpr const char* JsonType = "application/json";
constexpr std::string_view QueryPrefix = "/basicspacedata/query/class/gp";

double NowDays()
{
    const auto now = std::chrono::system_clock::now().time_since_epoch();
    return std::chrono::duration<double, std::ratio<86400>>(now).count();
}

// The query path after "class/gp", as the client sent it.
std::string_view GpPath(const std::string& Target)
{
    std::string_view path(Target);
    path = path.substr(0, path.find('?'));
    return path.size() > QueryPrefix.size() ? path.substr(QueryPrefix.size()) : std::string_view();
}

// The OMM rows of the group files "<ID>.csv" whose numbers no element lines hold: objects only
// the CSV and JSON answers carry. A file whose rows do not read (kept to try CelesTrak's reading)
// adds nothing.
void AddOmmOnlyRecords(const std::string& Folder, std::vector<TGpRecord>& Records)
{
    std::set<int> held;
    for (const TGpRecord& record : Records)
        held.insert(record.NoradCatId);
    for (const std::string& file : FolderFiles(Folder, ".csv")) {
        std::vector<TGpRecord> added;
        try {
            for (const TOmmRecord& row : ReadOmmCsv(ReadWholeFile(file)))
                added.push_back(GpRecordOfOmm(row));
        } catch (const EOmmFormat&) {
            continue;
        } catch (const EGpQueryError&) {
            continue;
        }
        for (TGpRecord& record : added)
            if (held.insert(record.NoradCatId).second)
                Records.push_back(std::move(record));
    }
}

std::vector<TGpRecord> RecordsIn(const std::string& Folder, const std::string& Format)
{
    std::vector<TGpRecord> records;
    for (const auto& set : AllSets(Folder))
        records.push_back(GpRecordOf(set[0], set[1], set[2]));
    if (Format == "csv" || Format == "json")
        AddOmmOnlyRecords(Folder, records);
    return records;
}

} // namespace

void TCatalogueService::ApiLogin(const httplib::Request& Request, httplib::Response& Response)
{
    const bool accepted = !CurrentFaults().RefuseLogin && Request.get_param_value("identity") == Options.Username
                          && Request.get_param_value("password") == Options.Password;
    if (!accepted) {
        Response.set_content("{\"Login\":\"Failed\"}", JsonType);
        return;
    }
    const std::string session = RandomSessionId();
    {
        const std::lock_guard guard(Lock);
        ApiSessions[session] = 0;
        Issued.push_back(session);
    }
    Response.set_header("Set-Cookie", std::string(ApiCookieName) + "=" + session + "; path=/; HttpOnly");
    Response.set_content("\"\"", JsonType);
}

void TCatalogueService::ApiLogout(const httplib::Request& Request, httplib::Response& Response)
{
    {
        const std::lock_guard guard(Lock);
        ApiSessions.erase(CookieFrom(Request, ApiCookieName));
    }
    Response.set_header("Set-Cookie", std::string(ApiCookieName) + "=; path=/; Max-Age=0");
    Response.set_content("\"Successfully logged out\"", JsonType);
}

bool TCatalogueService::TakeApiQuery(const httplib::Request& Request)
{
    const std::lock_guard guard(Lock);
    const auto session = ApiSessions.find(CookieFrom(Request, ApiCookieName));
    if (session == ApiSessions.end())
        return false;
    const int limit = Options.Faults.SessionQueries;
    if (limit > 0 && session->second >= limit) {
        ApiSessions.erase(session);
        return false;
    }
    ++session->second;
    return true;
}

void TCatalogueService::ApiQuery(const httplib::Request& Request, httplib::Response& Response)
{
    if (!TakeApiQuery(Request)) {
        Response.status = 401;
        Response.set_content("{\"error\":\"You must be logged in to complete this action\"}", JsonType);
        return;
    }
    const TServiceFaults faults = CurrentFaults();
    if (faults.ApiStatus != 0) {
        Response.status = faults.ApiStatus;
        if (!faults.ApiRetryAfter.empty())
            Response.set_header("Retry-After", faults.ApiRetryAfter);
        Response.set_content("Too many requests", "text/plain");
        return;
    }
    const TRateLimitAnswer limit = faults.RateLimit;
    if (limit == TRateLimitAnswer::ServerError) {
        Response.status = 500;
        Response.set_content("You've violated your query rate limit. Please refer to our Acceptable Use Policy.",
                             "text/plain");
        return;
    }
    if (limit == TRateLimitAnswer::ErrorList) {
        Response.set_content("[{\"error\":\"You've violated your query rate limit. Please refer to our Acceptable "
                             "Use Policy.\"}]",
                             JsonType);
        return;
    }
    try {
        const TGpQuery query = ParseGpQuery(GpPath(Request.target));
        const std::string answer = GpAnswer(query,
                                            GpSelect(query, RecordsIn(Options.DataFolder, query.Format), NowDays()));
        const char* type = query.Format == "json" ? JsonType : query.Format == "csv" ? "text/csv" : "text/plain";
        ServeData(std::make_shared<const std::string>(answer), type, TTransferFault::None, faults, Response,
                  AcceptsGzip(Request));
    } catch (const EGpQueryError& Error) {
        Response.status = 400;
        Response.set_content(std::string("{\"error\":\"") + Error.what() + "\"}", JsonType);
    }
}

} // namespace elsetry::service
