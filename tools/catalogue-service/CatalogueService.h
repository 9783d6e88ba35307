#pragma once
// A stand-in for the catalogue service, for tests, the demo and benchmarks: the five exchanges of
// a download run on loopback, over HTTP or HTTPS, with switches that make it fail the way real
// services do, and a record of every request it received.

#include <array>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace httplib {
class Server;
struct Request;
struct Response;
} // namespace httplib

namespace elsetry::service {

inline constexpr const char* SessionCookieName = "stsession";
// The session cookie of the query API under /ajaxauth and /basicspacedata.
inline constexpr const char* ApiCookieName = "chocolatechip";

// How the API answers a query when the account has asked too often.
enum class TRateLimitAnswer {
    None,
    ServerError, // status 500, the reason in the body
    ErrorList,   // status 200 and a JSON list holding the error
};

// A group answered with status 200 and something other than its element sets.
enum class TOddBody {
    HtmlPage,    // a login page, as a service shows when the session has lapsed
    BinaryBytes, // 4 kB of random bytes
    NewlineBomb, // some 4 kB of gzip that inflate to 4 million blank lines
    FutureEpoch, // the group's sets, each line 1 dated 2056
    // The group's text, gzip-compressed whole, after these changes:
    CutMidLine,        // cut halfway through, inside a line, as a transfer closed early with no length leaves it
    HalfThenGarbage,   // the first half of its sets, then 4 kB of random bytes
    OneSet,            // the first set alone
    BadChecksums,      // every element line's checksum digit one off
    CrossedLines,      // line 2 of each set swapped with line 2 of the next
    LongLines,         // the second set's name line 1 MB long
    ImplausibleValues, // every second set with an inclination of 999.9999, checksums right
    ControlCharacters, // the first set's name with an escape sequence and a C1 control
};

struct TServiceFaults {
    bool RefuseLogin = false;
    // The text in the login answer that tells the client the session is open.
    std::string LoginMarker = "'REFRESH'";
    std::set<int> ErrorGroups;   // answered with status 500
    std::set<int> CutGroups;     // the connection closes halfway through the data
    std::set<int> StalledGroups; // half the data, then a pause of StallTime, then the rest
    std::set<int> PlainGroups;   // the element text uncompressed (cut or stalled too when asked)
    std::set<int> CorruptGroups; // gzip data damaged in the middle
    std::map<int, std::string> RedirectedGroups; // answered with 302 to the given address
    std::map<int, TOddBody> OddGroups;
    bool ShortQuery = false;     // the query answer is the heading and the first set, 4 lines
    bool CutQuery = false;       // the connection closes halfway through the query answer
    bool QueryAnswersAll = false; // the query answer holds every set held, not only those asked for
    std::chrono::milliseconds StallTime{20000};
    // The data sent TrickleBytes at a time with TricklePause between, as a failing line or a
    // hostile service would send it.
    std::set<int> TrickledGroups;
    std::size_t TrickleBytes = 1;
    std::chrono::milliseconds TricklePause{2000};
    // The next this many logout-path requests wait LogoutDelay before they are answered.
    int DelayedLogouts = 0;
    std::chrono::milliseconds LogoutDelay{0};
    // Logout-path requests, counted from 1 since the service started, answered with status 500.
    std::set<int> ErrorLogouts;
    // An API session answers this many queries, then 401 as a lapsed session does; 0 for no end.
    int SessionQueries = 0;
    TRateLimitAnswer RateLimit = TRateLimitAnswer::None;
    // gp.php queries, by the field that selects the sets as the client sent it ("GROUP=weather",
    // "NAME=INMARSAT", "CATNR=25544"; "*" for every query), answered with that status.
    std::map<std::string, int> GpErrors;
    // gp.php queries whose answer sends half its data, pauses for StallTime, then the rest.
    std::set<std::string> GpStalls;
    // Query-API queries answered with this status (429, 503) and, when not empty, this Retry-After
    // header; 0 for none.
    int ApiStatus = 0;
    std::string ApiRetryAfter;
};

struct TServiceOptions {
    // Holds "<group ID>.txt" element files; the query answers from all of them.
    std::string DataFolder;
    std::string Username = "observer";
    std::string Password = "secret";
    int Port = 0; // 0 picks a free one
    // HTTPS when both are given (PEM files).
    std::string CertificateFile;
    std::string KeyFile;
    // Answers CelesTrak's gp.php under /NORAD/elements/: GROUP=, NAME= and CATNR= queries in
    // CSV (the default), TLE, 3LE or 2LE form, "No GP data found" (404) when nothing matches
    // (a known group without members: the CSV header alone).
    // A group file "<ID>.csv" of OMM rows, under a header line, adds its rows to the group's CSV
    // answers: objects element lines cannot hold, or rows that do not read. The query API's CSV
    // and JSON answers hold the objects of every such file whose rows read.
    bool CelesTrakGroups = false;
    // The same gp.php query again within this time of its last answer with data is refused
    // with 403, as CelesTrak refuses a second download within its update cycle; zero for never.
    std::chrono::minutes GpUpdateWindow{0};
    // The time the update window goes by; the system's clock when empty.
    std::function<std::chrono::system_clock::time_point()> GpClock;
    // A repeat within the update window is refused with status 200 instead, the same words in the
    // body, as one of CelesTrak's servers answers.
    bool GpRepeatAnswered200 = false;
    // A gp.php request naming another host than the address the service listens on is answered
    // with 301 to that address, as CelesTrak's other host names answer.
    bool GpOneHost = false;
    // Every request is appended here too when set.
    std::string RecordFile;
    TServiceFaults Faults;
};

struct TRecordedRequest {
    std::string Method;
    std::string Target; // path and query
    std::vector<std::pair<std::string, std::string>> Headers;
    std::string Body;
    long long Millis = 0; // when it arrived, since the service started

    // The target with percent escapes read, for people and tests: "/x/EPOCH/>now-30".
    std::string ReadableTarget() const;
    // The first value of the header (name compared without letter case), or empty.
    std::string Header(const std::string& Name) const;
    bool HasHeader(const std::string& Name) const;
};

class TCatalogueService {
public:
    // Listens on 127.0.0.1 once constructed. Raises std::runtime_error when it cannot.
    explicit TCatalogueService(TServiceOptions Options);
    ~TCatalogueService();
    TCatalogueService(const TCatalogueService&) = delete;
    TCatalogueService& operator=(const TCatalogueService&) = delete;

    int Port() const { return BoundPort; }
    // "http://127.0.0.1:port" or "https://...".
    std::string Address() const;

    void SetFaults(TServiceFaults Faults);
    std::vector<TRecordedRequest> Requests() const;
    void ClearRequests();
    // The session cookie values handed out so far, in order.
    std::vector<std::string> IssuedSessions() const;

private:
    struct TGzipCache {
        std::string Source;
        std::string Compressed;
    };

    void Route();
    void Record(const httplib::Request& Request);
    bool HasSession(const httplib::Request& Request) const;
    void Logout(const httplib::Request& Request, httplib::Response& Response);
    void Login(const httplib::Request& Request, httplib::Response& Response);
    void Group(const httplib::Request& Request, httplib::Response& Response);
    void Query(const httplib::Request& Request, httplib::Response& Response);
    void NotFound(const httplib::Request& Request, httplib::Response& Response);
    void ApiLogin(const httplib::Request& Request, httplib::Response& Response);
    void ApiLogout(const httplib::Request& Request, httplib::Response& Response);
    void ApiQuery(const httplib::Request& Request, httplib::Response& Response);
    void CelesTrakGroup(const httplib::Request& Request, httplib::Response& Response);
    // Whether the gp.php answer to Target is refused as a repeat within the update window; the
    // body of the refusal is set then.
    bool RefusesRepeat(const std::string& Target, const std::string& Selector, httplib::Response& Response);
    void RememberDownload(const std::string& Target);
    std::chrono::system_clock::time_point GpNow() const;
    // Whether the request's API session is open; counts the query against it.
    bool TakeApiQuery(const httplib::Request& Request);
    enum class TTransferFault { None, Cut, Stall, Trickle };
    void ServeGroupData(int Id, const std::string& Text, httplib::Response& Response);
    // The data go gzip-compressed when Gzip is set (the request accepted it).
    void ServeData(std::shared_ptr<const std::string> Data, const char* Type, TTransferFault Fault,
                   const TServiceFaults& Faults, httplib::Response& Response, bool Gzip = false);
    std::string Compressed(int Id, const std::string& Text);
    // Waits for Time or until the service stops; false when it stops.
    bool Pause(std::chrono::milliseconds Time);
    TServiceFaults CurrentFaults() const;

    TServiceOptions Options;
    std::unique_ptr<httplib::Server> Server;
    std::thread Listener;
    int BoundPort = 0;
    std::chrono::steady_clock::time_point Started = std::chrono::steady_clock::now();

    mutable std::mutex Lock;
    std::condition_variable Stopping;
    bool Stopped = false;
    std::vector<TRecordedRequest> Received;
    std::set<std::string> OpenSessions;
    std::map<std::string, int> ApiSessions; // cookie value to queries answered
    std::vector<std::string> Issued;
    int Logouts = 0;
    std::map<int, TGzipCache> GzipCache;
    // gp.php targets and the time of their last answer with data.
    std::map<std::string, std::chrono::system_clock::time_point> GpDownloads;
};

// Reads a record file written by the service.
std::vector<TRecordedRequest> ReadRequestLog(const std::string& Path);

// Fills Folder with one element file per group: the full catalogue (group 2) of FullCount sets and
// eleven smaller groups taken from it.
void WriteDemoGroups(const std::string& Folder, int FullCount);

// The element sets of the catalogue numbers in Ids (blank-separated), found in the element files of
// Folder, in catalogue-number order.
// Every element set in the element files of Folder as name, line 1 and line 2, in
// catalogue-number order; the first file and set of a number win.
std::vector<std::array<std::string, 3>> AllSets(const std::string& Folder);

// The element sets of the group file "<Id>.txt" in Folder, in catalogue-number order; none when
// there is no such file.
std::vector<std::array<std::string, 3>> GroupSets(const std::string& Folder, int Id);

// The paths of the files of Folder whose names end in Extension (".txt": the groups' element sets;
// ".csv": their objects in the OMM form), in name order.
std::vector<std::string> FolderFiles(const std::string& Folder, const std::string& Extension);

std::vector<std::string> FindSets(const std::string& Folder, const std::string& Ids);

// Writes a self-signed certificate for 127.0.0.1 and localhost, and its key, as PEM files.
void MakeTestCertificate(const std::string& CertificateFile, const std::string& KeyFile);

// gzip-compressed Text.
std::string GzipText(const std::string& Text);

// Whether the request's Accept-Encoding takes gzip.
bool AcceptsGzip(const httplib::Request& Request);

// The answer body of an odd group whose element text is Text.
std::string OddBody(TOddBody Kind, const std::string& Text);

} // namespace elsetry::service
