#include "tools/catalogue-service/CatalogueService.h"
#include "tools/catalogue-service/ServiceSession.h"
#include "text/Strings.h"

#include <httplib.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>

namespace elsetry::service {

namespace {

constexpr const char* HtmlType = "text/html";

} // namespace

std::string RandomSessionId()
{
    static std::random_device seed;
    static std::mt19937_64 generator(seed());
    std::ostringstream text;
    text << std::hex << generator() << generator();
    return text.str();
}

// The value of the cookie Name in a Cookie header, or empty.
std::string CookieFrom(const httplib::Request& Request, const char* Name)
{
    const std::string cookies = Request.get_header_value("Cookie");
    const std::string key = std::string(Name) + "=";
    for (std::size_t at = 0; at < cookies.size();) {
        while (at < cookies.size() && (cookies[at] == ' ' || cookies[at] == ';'))
            ++at;
        std::size_t end = cookies.find(';', at);
        end = end == std::string::npos ? cookies.size() : end;
        if (cookies.compare(at, key.size(), key) == 0)
            return cookies.substr(at + key.size(), end - at - key.size());
        at = end;
    }
    return {};
}

namespace {

std::string SessionFrom(const httplib::Request& Request)
{
    return CookieFrom(Request, SessionCookieName);
}

std::string ReadGroupFile(const std::string& Path)
{
    std::ifstream in(Path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string QueryAnswer(const std::vector<std::string>& Sets, bool Short)
{
    std::string heading = "OBJECT     EPOCH          NAME";
    if (Short)
        return heading + "\n" + (Sets.size() >= 3 ? Sets[0] + "\n" + Sets[1] + "\n" + Sets[2] + "\n" : "");
    std::string page = "<pre>\n" + heading + "\n";
    for (const std::string& line : Sets)
        page += line + "\n";
    return page + "</pre>\n";
}

void AppendRecord(const std::string& Path, const TRecordedRequest& Request)
{
    std::ofstream out(Path, std::ios::binary | std::ios::app);
    out << "@request " << Request.Method << ' ' << Request.Target << '\n' << "@time " << Request.Millis << '\n';
    for (const auto& [name, value] : Request.Headers)
        out << name << ": " << value << '\n';
    out << "@body " << Request.Body.size() << '\n' << Request.Body << "\n@end\n";
}

std::unique_ptr<httplib::Server> MakeServer(const TServiceOptions& Options)
{
    if (Options.CertificateFile.empty() || Options.KeyFile.empty())
        return std::make_unique<httplib::Server>();
    auto server = std::make_unique<httplib::SSLServer>(Options.CertificateFile.c_str(), Options.KeyFile.c_str());
    if (!server->is_valid())
        throw std::runtime_error("Cannot use the certificate " + Options.CertificateFile);
    return server;
}

} // namespace

TCatalogueService::TCatalogueService(TServiceOptions ServiceOptions)
    : Options(std::move(ServiceOptions)), Server(MakeServer(Options))
{
    Route();
    BoundPort = Options.Port == 0 ? Server->bind_to_any_port("127.0.0.1")
                                  : (Server->bind_to_port("127.0.0.1", Options.Port) ? Options.Port : -1);
    if (BoundPort <= 0)
        throw std::runtime_error("Cannot listen on 127.0.0.1");
    Listener = std::thread([this] { Server->listen_after_bind(); });
    // A stop before the listener runs would be lost, and the listener would then never end.
    while (!Server->is_running())
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

TCatalogueService::~TCatalogueService()
{
    {
        const std::lock_guard guard(Lock);
        Stopped = true;
    }
    Stopping.notify_all();
    Server->stop();
    Listener.join();
}

std::string TCatalogueService::Address() const
{
    const bool secure = !Options.CertificateFile.empty() && !Options.KeyFile.empty();
    return std::string(secure ? "https" : "http") + "://127.0.0.1:" + std::to_string(BoundPort);
}

void TCatalogueService::SetFaults(TServiceFaults Faults)
{
    const std::lock_guard guard(Lock);
    Options.Faults = std::move(Faults);
}

TServiceFaults TCatalogueService::CurrentFaults() const
{
    const std::lock_guard guard(Lock);
    return Options.Faults;
}

std::vector<TRecordedRequest> TCatalogueService::Requests() const
{
    const std::lock_guard guard(Lock);
    return Received;
}

void TCatalogueService::ClearRequests()
{
    const std::lock_guard guard(Lock);
    Received.clear();
}

std::vector<std::string> TCatalogueService::IssuedSessions() const
{
    const std::lock_guard guard(Lock);
    return Issued;
}

// Every handler records its request first, once the body has been read.
void TCatalogueService::Route()
{
    const auto recorded = [this](void (TCatalogueService::*Handle)(const httplib::Request&, httplib::Response&)) {
        return [this, Handle](const httplib::Request& Request, httplib::Response& Response) {
            Record(Request);
            (this->*Handle)(Request, Response);
        };
    };
    Server->Get("/perl/logout.pl", recorded(&TCatalogueService::Logout));
    Server->Post("/perl/login.pl", recorded(&TCatalogueService::Login));
    Server->Get("/perl/dl.pl", recorded(&TCatalogueService::Group));
    Server->Post("/perl/id_query.pl", recorded(&TCatalogueService::Query));
    Server->Post("/ajaxauth/login", recorded(&TCatalogueService::ApiLogin));
    Server->Get("/ajaxauth/logout", recorded(&TCatalogueService::ApiLogout));
    Server->Get("/basicspacedata/query/class/gp(/.*)?", recorded(&TCatalogueService::ApiQuery));
    Server->Get("/NORAD/elements/gp.php", recorded(&TCatalogueService::CelesTrakGroup));
    Server->Get(".*", recorded(&TCatalogueService::NotFound));
    Server->Post(".*", recorded(&TCatalogueService::NotFound));
}

void TCatalogueService::NotFound(const httplib::Request&, httplib::Response& Response)
{
    Response.status = 404;
    Response.set_content("<html><body>Not found.</body></html>\n", HtmlType);
}

void TCatalogueService::Record(const httplib::Request& Request)
{
    const auto since = std::chrono::steady_clock::now() - Started;
    TRecordedRequest request{Request.method, Request.target, {}, Request.body,
                             std::chrono::duration_cast<std::chrono::milliseconds>(since).count()};
    for (const auto& [name, value] : Request.headers)
        // The server's own notes on the connection are not headers the client sent.
        if (name != "REMOTE_ADDR" && name != "REMOTE_PORT" && name != "LOCAL_ADDR" && name != "LOCAL_PORT")
            request.Headers.emplace_back(name, value);
    const std::lock_guard guard(Lock);
    if (!Options.RecordFile.empty())
        AppendRecord(Options.RecordFile, request);
    Received.push_back(std::move(request));
}

bool TCatalogueService::HasSession(const httplib::Request& Request) const
{
    const std::lock_guard guard(Lock);
    return OpenSessions.count(SessionFrom(Request)) != 0;
}

bool TCatalogueService::Pause(std::chrono::milliseconds Time)
{
    std::unique_lock guard(Lock);
    return !Stopping.wait_for(guard, Time, [this] { return Stopped; });
}

void TCatalogueService::Logout(const httplib::Request& Request, httplib::Response& Response)
{
    std::chrono::milliseconds delay{0};
    bool error = false;
    {
        const std::lock_guard guard(Lock);
        if (Options.Faults.DelayedLogouts > 0) {
            --Options.Faults.DelayedLogouts;
            delay = Options.Faults.LogoutDelay;
        }
        error = Options.Faults.ErrorLogouts.count(++Logouts) != 0;
        OpenSessions.erase(SessionFrom(Request));
    }
    if (delay.count() > 0 && !Pause(delay))
        return;
    if (error) {
        Response.status = 500;
        Response.set_content("<html><body>Internal error.</body></html>\n", HtmlType);
        return;
    }
    Response.set_header("Set-Cookie", std::string(SessionCookieName) + "=; path=/; Max-Age=0");
    Response.set_content("<html><body>You are logged out.</body></html>\n", HtmlType);
}

void TCatalogueService::Login(const httplib::Request& Request, httplib::Response& Response)
{
    const TServiceFaults faults = CurrentFaults();
    const bool accepted = !faults.RefuseLogin && Request.get_param_value("username") == Options.Username &&
                          Request.get_param_value("password") == Options.Password;
    if (!accepted) {
        Response.set_content("<html><body>Login failed: unknown username or password.</body></html>\n", HtmlType);
        return;
    }
    const std::string session = RandomSessionId();
    {
        const std::lock_guard guard(Lock);
        OpenSessions.insert(session);
        Issued.push_back(session);
    }
    Response.set_header("Set-Cookie", std::string(SessionCookieName) + "=" + session + "; path=/");
    Response.set_content("<html><head><meta http-equiv=" + faults.LoginMarker +
                             " content='0; url=/perl/bootstrap.pl'></head><body>Logging in</body></html>\n",
                         HtmlType);
}

void TCatalogueService::Group(const httplib::Request& Request, httplib::Response& Response)
{
    if (!HasSession(Request)) {
        Response.status = 401;
        Response.set_content("<html><body>Please log in.</body></html>\n", HtmlType);
        return;
    }
    int id = -1;
    std::istringstream(Request.get_param_value("ID")) >> id;
    const std::string path = Options.DataFolder + "/" + std::to_string(id) + ".txt";
    if (id < 0 || !std::filesystem::is_regular_file(path)) {
        Response.status = 404;
        Response.set_content("<html><body>No such group.</body></html>\n", HtmlType);
        return;
    }
    ServeGroupData(id, ReadGroupFile(path), Response);
}

std::string TCatalogueService::Compressed(int Id, const std::string& Text)
{
    {
        const std::lock_guard guard(Lock);
        const auto cached = GzipCache.find(Id);
        if (cached != GzipCache.end() && cached->second.Source == Text)
            return cached->second.Compressed;
    }
    std::string compressed = GzipText(Text);
    const std::lock_guard guard(Lock);
    GzipCache[Id] = {Text, compressed};
    return compressed;
}

void TCatalogueService::ServeGroupData(int Id, const std::string& Text, httplib::Response& Response)
{
    const TServiceFaults faults = CurrentFaults();
    if (faults.ErrorGroups.count(Id) != 0) {
        Response.status = 500;
        Response.set_content(Text, "text/plain");
        return;
    }
    if (const auto redirect = faults.RedirectedGroups.find(Id); redirect != faults.RedirectedGroups.end()) {
        Response.set_redirect(redirect->second);
        return;
    }
    if (const auto odd = faults.OddGroups.find(Id); odd != faults.OddGroups.end()) {
        const bool page = odd->second == TOddBody::HtmlPage;
        Response.set_content(OddBody(odd->second, Text), page ? HtmlType : "application/x-gzip");
        return;
    }
    const bool plain = faults.PlainGroups.count(Id) != 0;
    auto data = std::make_shared<std::string>(plain ? Text : Compressed(Id, Text));
    if (!plain && faults.CorruptGroups.count(Id) != 0)
        for (std::size_t at = data->size() / 2; at < data->size() / 2 + 16 && at < data->size(); ++at)
            (*data)[at] = static_cast<char>(~(*data)[at]);
    const TTransferFault fault = faults.CutGroups.count(Id) != 0         ? TTransferFault::Cut
                                 : faults.StalledGroups.count(Id) != 0   ? TTransferFault::Stall
                                 : faults.TrickledGroups.count(Id) != 0 ? TTransferFault::Trickle
                                                                         : TTransferFault::None;
    ServeData(std::move(data), plain ? "text/plain" : "application/x-gzip", fault, faults, Response);
}

// A trickle sends the data a few bytes at a time with a pause before each piece after the first.
// Otherwise half the data comes first when a fault is asked for; then the connection closes, or
// the rest follows after a pause.
void TCatalogueService::ServeData(std::shared_ptr<const std::string> Data, const char* Type, TTransferFault Fault,
                                  const TServiceFaults& Faults, httplib::Response& Response, bool Gzip)
{
    if (Gzip) {
        Data = std::make_shared<const std::string>(GzipText(*Data));
        Response.set_header("Content-Encoding", "gzip");
    }
    const std::size_t half = Data->size() / 2;
    const std::chrono::milliseconds pause = Fault == TTransferFault::Trickle ? Faults.TricklePause : Faults.StallTime;
    const std::size_t piece = std::max<std::size_t>(Faults.TrickleBytes, 1);
    Response.set_content_provider(
        Data->size(), Type,
        [this, Data, Fault, pause, half, piece](std::size_t Offset, std::size_t, httplib::DataSink& Sink) {
            if (Fault == TTransferFault::Trickle) {
                if (Offset > 0 && !Pause(pause))
                    return false;
                return Sink.write(Data->data() + Offset, std::min(piece, Data->size() - Offset));
            }
            if (Offset == 0 && Fault != TTransferFault::None)
                return Sink.write(Data->data(), half);
            if (Offset == half && Fault == TTransferFault::Cut)
                return false;
            if (Offset == half && Fault == TTransferFault::Stall && !Pause(pause))
                return false;
            return Sink.write(Data->data() + Offset, Data->size() - Offset);
        });
}

bool AcceptsGzip(const httplib::Request& Request)
{
    return LowerCase(Request.get_header_value("Accept-Encoding")).find("gzip") != std::string::npos;
}

void TCatalogueService::Query(const httplib::Request& Request, httplib::Response& Response)
{
    if (!HasSession(Request)) {
        Response.status = 401;
        Response.set_content("<html><body>Please log in.</body></html>\n", HtmlType);
        return;
    }
    const TServiceFaults faults = CurrentFaults();
    std::vector<std::string> sets;
    if (faults.QueryAnswersAll)
        for (const auto& set : AllSets(Options.DataFolder))
            sets.insert(sets.end(), set.begin(), set.end());
    else
        sets = FindSets(Options.DataFolder, Request.get_param_value("ids"));
    auto answer = std::make_shared<const std::string>(QueryAnswer(sets, faults.ShortQuery));
    ServeData(std::move(answer), HtmlType, faults.CutQuery ? TTransferFault::Cut : TTransferFault::None, faults,
              Response);
}

} // namespace elsetry::service
