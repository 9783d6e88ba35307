#include "platform/HttpClient.h"

#include "text/Strings.h"

#include <curl/curl.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <ctime>
#include <functional>
#include <memory>
#include <new>
#include <string_view>
#include <vector>
#include <unistd.h>

namespace elsetry {

namespace {

constexpr const char* UserAgent = "Mozilla/3.0 (compatible; Indy Library)";
constexpr const char* FormContentType = "application/x-www-form-urlencoded";
constexpr std::chrono::milliseconds TimeLimitSlack{50};
constexpr long ProxyAuthenticationRequired = 407;
constexpr const char* ProxyRefusedText = "proxy refused the credentials (407)";

using TClock = std::chrono::steady_clock;

// libcurl's global set-up is not thread-safe, so it runs once, before the first handle.
void InitialiseLibcurl()
{
    static const CURLcode initialised = curl_global_init(CURL_GLOBAL_DEFAULT);
    if (initialised != CURLE_OK)
        throw EHttpError(std::string("Cannot initialise libcurl: ") + curl_easy_strerror(initialised));
}

bool Unreserved(unsigned char Character)
{
    return (Character >= 'A' && Character <= 'Z') || (Character >= 'a' && Character <= 'z') ||
           (Character >= '0' && Character <= '9') || Character == '-' || Character == '.' || Character == '_' ||
           Character == '~';
}

void AppendPercentEncoded(std::string& Text, const std::string& Value)
{
    static constexpr char Hex[] = "0123456789ABCDEF";
    for (const char c : Value) {
        const auto byte = static_cast<unsigned char>(c);
        if (Unreserved(byte)) {
            Text += c;
        } else {
            Text += '%';
            Text += Hex[byte >> 4];
            Text += Hex[byte & 0x0F];
        }
    }
}

struct THeaderListDeleter {
    void operator()(curl_slist* List) const { curl_slist_free_all(List); }
};

using THeaderList = std::unique_ptr<curl_slist, THeaderListDeleter>;

void AddHeader(THeaderList& List, const std::string& Header)
{
    curl_slist* grown = curl_slist_append(List.get(), Header.c_str());
    if (grown == nullptr)
        throw EHttpError("Out of memory for the request headers");
    // On success the longer list takes the old one's place (the same head unless it was empty).
    static_cast<void>(List.release());
    List.reset(grown);
}

} // namespace

// One request in flight: where the body goes and what went wrong.
struct THttpClient::TTransfer {
    CURL* Curl = nullptr;
    std::string* Text = nullptr;
    int Fd = -1;
    std::size_t Bytes = 0;
    std::size_t MaxBytes = 0;
    long TimeoutMs = 0;
    TClock::time_point LastActivity;
    const THttpClient::TWhileWaiting* WhileWaiting = nullptr;
    TClock::time_point LastCall;
    curl_off_t ProgressBytes = 0;
    curl_off_t ProgressTotal = 0;
    curl_off_t LastDown = 0;
    curl_off_t LastUp = 0;
    bool TimedOut = false;
    bool TooLarge = false;
    bool PastTimeLimit = false;
    bool Cancelled = false;
    bool OutOfMemory = false;
    int WriteErrno = 0;
    std::string ErrorText; // the start of an error answer's body
    const THttpClient::TSending* Sending = nullptr;
    std::string SendingFailure; // what the sending hook raised
};

namespace {

using TTransfer = THttpClient::TTransfer;

bool WriteAll(int Fd, const char* Data, std::size_t Size)
{
    while (Size > 0) {
        const ssize_t written = ::write(Fd, Data, Size);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        Data += written;
        Size -= static_cast<std::size_t>(written);
    }
    return true;
}

std::string HeaderValue(CURL* Curl, const char* Name);

// Room for the whole body at once when the answer gives its length and is not encoded (the length
// of an encoded answer is not that of its text), so that a large body is neither copied as it
// grows nor given room it does not fill. libcurl fails a transfer whose body is not as long as it
// said. Room that cannot be had is left to growing.
void ReserveBody(TTransfer& Transfer)
{
    curl_off_t length = -1;
    if (curl_easy_getinfo(Transfer.Curl, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &length) != CURLE_OK || length <= 0
        || !HeaderValue(Transfer.Curl, "Content-Encoding").empty())
        return;
    try {
        Transfer.Text->reserve(std::min(static_cast<std::size_t>(length), Transfer.MaxBytes));
    } catch (const std::bad_alloc&) {
        // The body grows as it comes instead.
    }
}

// Only the body of a successful answer is kept: redirect and error pages are not the answer. A
// body that finds no memory ends the transfer, and the request raises std::bad_alloc once
// libcurl is out of the way: nothing is thrown through libcurl's frames.
std::size_t ReceiveBody(char* Data, std::size_t Size, std::size_t Count, void* User)
{
    auto& transfer = *static_cast<TTransfer*>(User);
    const std::size_t bytes = Size * Count;
    long status = 0;
    curl_easy_getinfo(transfer.Curl, CURLINFO_RESPONSE_CODE, &status);
    if (status >= 400) {
        // Kept for the error: a service says there why it refused.
        const std::size_t room = EHttpError::BodyBytes - std::min(transfer.ErrorText.size(), EHttpError::BodyBytes);
        transfer.ErrorText.append(Data, std::min(bytes, room));
        return bytes;
    }
    if (status < 200 || status >= 300)
        return bytes;
    if (transfer.Bytes + bytes > transfer.MaxBytes) {
        transfer.TooLarge = true;
        return 0;
    }
    if (transfer.Text != nullptr) {
        if (transfer.Bytes == 0)
            ReserveBody(transfer);
        try {
            transfer.Text->append(Data, bytes);
        } catch (const std::bad_alloc&) {
            transfer.OutOfMemory = true;
            return 0;
        }
    } else if (!WriteAll(transfer.Fd, Data, bytes)) {
        transfer.WriteErrno = errno;
        return 0;
    }
    transfer.Bytes += bytes;
    return bytes;
}

// Whether the caller still wants the request; asked at most every WhileWaitingIntervalMs.
bool StillWanted(TTransfer& Transfer, TClock::time_point Now)
{
    if (Transfer.WhileWaiting == nullptr || !*Transfer.WhileWaiting ||
        Now - Transfer.LastCall < std::chrono::milliseconds(THttpClient::WhileWaitingIntervalMs))
        return true;
    Transfer.LastCall = Now;
    Transfer.Cancelled = !(*Transfer.WhileWaiting)(THttpClient::TProgress{Transfer.ProgressBytes, Transfer.ProgressTotal});
    return !Transfer.Cancelled;
}

// libcurl calls this at least once a second while a transfer waits, and on every piece that
// arrives; no bytes moving for the whole read time-out fails the request.
int WatchProgress(void* User, curl_off_t DownTotal, curl_off_t DownNow, curl_off_t, curl_off_t UpNow)
{
    auto& transfer = *static_cast<TTransfer*>(User);
    const TClock::time_point now = TClock::now();
    transfer.ProgressBytes = DownNow;
    transfer.ProgressTotal = DownTotal;
    if (!StillWanted(transfer, now))
        return 1;
    if (DownNow != transfer.LastDown || UpNow != transfer.LastUp) {
        transfer.LastDown = DownNow;
        transfer.LastUp = UpNow;
        transfer.LastActivity = now;
        return 0;
    }
    if (now - transfer.LastActivity >= std::chrono::milliseconds(transfer.TimeoutMs)) {
        transfer.TimedOut = true;
        return 1;
    }
    return 0;
}

// Nothing may be thrown through libcurl's C frames: a hook that raises stops the request here.
int RequestLeaving(void* User, char*, char*, int, int)
{
    auto& transfer = *static_cast<TTransfer*>(User);
    try {
        (*transfer.Sending)();
    } catch (const std::exception& Error) {
        transfer.SendingFailure = Error.what();
        return CURL_PREREQFUNC_ABORT;
    }
    return CURL_PREREQFUNC_OK;
}

std::string LowerFirst(std::string Text)
{
    if (!Text.empty() && Text[0] >= 'A' && Text[0] <= 'Z')
        Text[0] = static_cast<char>(Text[0] - 'A' + 'a');
    return Text;
}

std::string ConnectFailureText(CURL* Curl)
{
    long error = 0;
    curl_easy_getinfo(Curl, CURLINFO_OS_ERRNO, &error);
    return error != 0 ? LowerFirst(std::strerror(static_cast<int>(error))) : "cannot connect";
}

// "21 s", "1.5 s": the read time-out as the user would set it.
std::string SecondsText(long Milliseconds)
{
    std::string text = std::to_string(Milliseconds / 1000);
    if (long fraction = Milliseconds % 1000; fraction != 0) {
        std::string digits = std::to_string(1000 + fraction).substr(1);
        while (digits.ends_with('0'))
            digits.pop_back();
        text += "." + digits;
    }
    return text + " s";
}

// The short reason of a failed transfer, in the user's words rather than libcurl's.
std::string FailureText(const TTransfer& Transfer, CURLcode Code)
{
    if (Transfer.TimedOut)
        return "timed out after " + SecondsText(Transfer.TimeoutMs);
    // A proxy that refuses the tunnel to an https address answers the CONNECT, not the request.
    long connectStatus = 0;
    curl_easy_getinfo(Transfer.Curl, CURLINFO_HTTP_CONNECTCODE, &connectStatus);
    if (connectStatus == ProxyAuthenticationRequired)
        return ProxyRefusedText;
    if (!Transfer.SendingFailure.empty())
        return Transfer.SendingFailure;
    if (Transfer.TooLarge)
        return "answer larger than " + std::to_string(Transfer.MaxBytes) + " bytes";
    if (Transfer.WriteErrno != 0)
        return std::string("cannot write the download: ") + std::strerror(Transfer.WriteErrno);
    switch (Code) {
    case CURLE_OPERATION_TIMEDOUT:
        return Transfer.PastTimeLimit ? "took too long" : "too slow";
    case CURLE_COULDNT_CONNECT:
        return ConnectFailureText(Transfer.Curl);
    case CURLE_COULDNT_RESOLVE_HOST:
        return "host not found";
    case CURLE_COULDNT_RESOLVE_PROXY:
        return "proxy not found";
    case CURLE_PARTIAL_FILE:
    case CURLE_RECV_ERROR:
    case CURLE_SEND_ERROR:
    case CURLE_GOT_NOTHING:
        return "connection cut";
    case CURLE_PEER_FAILED_VERIFICATION:
        return "certificate not trusted";
    case CURLE_SSL_CONNECT_ERROR:
        return "secure connection failed";
    default:
        return LowerFirst(curl_easy_strerror(Code));
    }
}

template <class TValue>
void SetOption(CURL* Curl, CURLoption Option, TValue Value)
{
    const CURLcode result = curl_easy_setopt(Curl, Option, Value);
    if (result != CURLE_OK)
        throw EHttpError(std::string("Cannot set up the request: ") + curl_easy_strerror(result));
}

std::vector<std::string_view> TabFields(std::string_view Line)
{
    std::vector<std::string_view> fields;
    for (std::size_t start = 0;;) {
        const std::size_t tab = Line.find('\t', start);
        fields.push_back(Line.substr(start, tab == std::string_view::npos ? std::string_view::npos : tab - start));
        if (tab == std::string_view::npos)
            return fields;
        start = tab + 1;
    }
}

// The value of the answer's header Name; empty when it sent none.
std::string HeaderValue(CURL* Curl, const char* Name)
{
    curl_header* header = nullptr;
    if (curl_easy_header(Curl, Name, 0, CURLH_HEADER, -1, &header) != CURLHE_OK || header == nullptr)
        return {};
    return header->value;
}

// "redirected to https://elsewhere/x (HTTP 302)"; the address as the answer gave it, escaped.
std::string RedirectText(CURL* Curl, long Status)
{
    char* location = nullptr;
    curl_easy_getinfo(Curl, CURLINFO_REDIRECT_URL, &location);
    const std::string status = "(HTTP " + std::to_string(Status) + ")";
    return location != nullptr ? "redirected to " + EscapeControls(location) + " " + status : "redirected " + status;
}

} // namespace

std::optional<std::chrono::system_clock::time_point> RetryAfterTime(std::string_view Value,
                                                                    std::chrono::system_clock::time_point Now)
{
    const std::string text(Trim(Value));
    if (AllDigits(text)) {
        // More than a year is no wait a service means; it is read as a year at most.
        constexpr long long LongestSeconds = 366LL * 24 * 3600;
        const long long seconds = text.size() > 8 ? LongestSeconds : std::min(std::stoll(text), LongestSeconds);
        return Now + std::chrono::seconds(seconds);
    }
    if (text.empty())
        return std::nullopt;
    const std::time_t date = curl_getdate(text.c_str(), nullptr);
    if (date == -1)
        return std::nullopt;
    const auto when = std::chrono::system_clock::from_time_t(date);
    if (when < Now)
        return std::nullopt;
    return when;
}

std::string FormEncode(const std::vector<TFormField>& Fields)
{
    std::string body;
    for (const TFormField& field : Fields) {
        if (!body.empty())
            body += '&';
        body += field.Name;
        body += '=';
        AppendPercentEncoded(body, field.Value);
    }
    return body;
}

THttpClient::THttpClient()
{
    InitialiseLibcurl();
    Curl.reset(curl_easy_init());
    Multi.reset(curl_multi_init());
    if (!Curl || !Multi)
        throw EHttpError("Cannot create the HTTP client");
    CURL* curl = Curl.get();
    // An empty cookie file turns on the in-memory cookie store, kept as long as the handle.
    SetOption(curl, CURLOPT_COOKIEFILE, "");
    SetOption(curl, CURLOPT_NOSIGNAL, 1L);
    SetOption(curl, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_1));
    SetOption(curl, CURLOPT_PROTOCOLS_STR, "http,https");
    SetOption(curl, CURLOPT_FOLLOWLOCATION, 0L);
    SetOption(curl, CURLOPT_USERAGENT, UserAgent);
    SetOption(curl, CURLOPT_NOPROGRESS, 0L);
    SetOption(curl, CURLOPT_XFERINFOFUNCTION, WatchProgress);
    SetOption(curl, CURLOPT_WRITEFUNCTION, ReceiveBody);
    // Asking first and answering the proxy's challenge means no credentials are sent unasked.
    SetOption(curl, CURLOPT_PROXYAUTH, static_cast<long>(CURLAUTH_ANY));
    // The proxy is ours to set; the environment's proxy variables do not apply.
    SetOption(curl, CURLOPT_NOPROXY, "");
    SetOption(curl, CURLOPT_SSL_VERIFYPEER, 1L);
    SetOption(curl, CURLOPT_SSL_VERIFYHOST, 2L);
    SetLowSpeedLimit(DefaultLowSpeedBytes, DefaultLowSpeedSeconds);
}

void THttpClient::SetLowSpeedLimit(long Bytes, long Seconds)
{
    LowSpeedSeconds = std::max(Seconds, 1L);
    // libcurl takes a speed: fewer than Bytes over the period is a speed below Bytes / period.
    LowSpeedBytesPerSecond = std::max((Bytes + LowSpeedSeconds - 1) / LowSpeedSeconds, 1L);
}

void THttpClient::SetCertificateAuthorities(const std::string& PemFile)
{
    SetOption(Curl.get(), CURLOPT_CAINFO, PemFile.c_str());
}

void THttpClient::TCurlCleanup::operator()(void* Handle) const
{
    curl_easy_cleanup(Handle);
}

void THttpClient::TMultiCleanup::operator()(void* Handle) const
{
    curl_multi_cleanup(Handle);
}

// The easy handle goes before the multi handle it may still be part of.
THttpClient::~THttpClient()
{
    Curl.reset();
}

// The file is the body as the service sent it (a gzip group stays gzip), so nothing is decoded.
void THttpClient::GetToFile(const std::string& Url, int Fd)
{
    TTransfer transfer;
    transfer.Fd = Fd;
    Perform(Url, nullptr, transfer, false);
}

std::string THttpClient::GetText(const std::string& Url)
{
    std::string body;
    TTransfer transfer;
    transfer.Text = &body;
    Perform(Url, nullptr, transfer, AcceptGzip);
    return body;
}

std::string THttpClient::PostForm(const std::string& Url, const std::vector<TFormField>& Fields)
{
    const std::string form = FormEncode(Fields);
    std::string body;
    TTransfer transfer;
    transfer.Text = &body;
    Perform(Url, &form, transfer, AcceptGzip);
    return body;
}

// Each cookie comes as a Netscape cookie-file line: domain, subdomains, path, secure, expiry,
// name, value, separated by tabs.
bool THttpClient::HasCookie(const std::string& Name) const
{
    curl_slist* cookies = nullptr;
    if (curl_easy_getinfo(Curl.get(), CURLINFO_COOKIELIST, &cookies) != CURLE_OK)
        return false;
    const std::unique_ptr<curl_slist, decltype(&curl_slist_free_all)> owned(cookies, curl_slist_free_all);
    for (const curl_slist* cookie = cookies; cookie != nullptr; cookie = cookie->next) {
        const std::vector<std::string_view> fields = TabFields(cookie->data);
        if (fields.size() >= 7 && fields[5] == Name && !fields[6].empty())
            return true;
    }
    return false;
}

void THttpClient::ApplySettings(const std::string* Form, curl_slist* Headers)
{
    CURL* curl = Curl.get();
    if (Form != nullptr) {
        SetOption(curl, CURLOPT_POSTFIELDSIZE, static_cast<long>(Form->size()));
        SetOption(curl, CURLOPT_COPYPOSTFIELDS, Form->c_str());
    } else {
        SetOption(curl, CURLOPT_HTTPGET, 1L);
    }
    SetOption(curl, CURLOPT_HTTPHEADER, Headers);
    SetOption(curl, CURLOPT_PROXY, ProxyHost.c_str());
    SetOption(curl, CURLOPT_PROXYPORT, static_cast<long>(ProxyPort));
    SetOption(curl, CURLOPT_PROXYUSERNAME, ProxyUserName.c_str());
    SetOption(curl, CURLOPT_PROXYPASSWORD, ProxyPassword.c_str());
    SetOption(curl, CURLOPT_LOW_SPEED_LIMIT, LowSpeedBytesPerSecond);
    SetOption(curl, CURLOPT_LOW_SPEED_TIME, LowSpeedSeconds);
}

void THttpClient::Perform(const std::string& Url, const std::string* Form, TTransfer& Transfer, bool Compressed)
{
    THeaderList headers;
    AddHeader(headers, "Accept: text/html, */*");
    // No "Expect: 100-continue" wait before a body.
    AddHeader(headers, "Expect:");
    if (Form != nullptr)
        AddHeader(headers, "Content-Type: " + (RequestContentType.empty() ? std::string(FormContentType) : RequestContentType));
    ApplySettings(Form, headers.get());

    CURL* curl = Curl.get();
    // libcurl decodes the answer before the body reaches ReceiveBody, so the bound on the answer
    // holds for the decoded text and a small compressed answer cannot inflate past it. A null
    // encoding sends no Accept-Encoding at all.
    SetOption(curl, CURLOPT_ACCEPT_ENCODING, Compressed ? "gzip" : static_cast<const char*>(nullptr));
    Transfer.Curl = curl;
    Transfer.MaxBytes = MaxAnswerBytes;
    Transfer.TimeoutMs = ReadTimeoutMs;
    Transfer.WhileWaiting = &WhileWaiting;
    SetOption(curl, CURLOPT_XFERINFODATA, &Transfer);
    SetOption(curl, CURLOPT_WRITEDATA, &Transfer);
    SetOption(curl, CURLOPT_URL, Url.c_str());
    if (SendingHook)
        SetOption(curl, CURLOPT_PREREQFUNCTION, RequestLeaving);
    else
        SetOption(curl, CURLOPT_PREREQFUNCTION, static_cast<curl_prereq_callback>(nullptr));
    SetOption(curl, CURLOPT_PREREQDATA, &Transfer);
    Transfer.Sending = &SendingHook;
    try {
        RunOnce(Transfer, TimeLimitMs);
    } catch (const EHttpError&) {
        CountWireBytes();
        throw;
    }
    CountWireBytes();
    long status = 0;
    curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
    if (status == ProxyAuthenticationRequired)
        throw EHttpError(ProxyRefusedText, status, Transfer.ErrorText);
    if (status >= 400)
        throw EHttpError("HTTP " + std::to_string(status), status, Transfer.ErrorText, HeaderValue(curl, "Retry-After"));
    // A redirect is never followed: each hop would be a request that no usage count sees, and a
    // form would go to an address the user did not give.
    if (status >= 300)
        throw EHttpError(RedirectText(curl, status), status);
}

void THttpClient::CountWireBytes()
{
    curl_off_t body = 0;
    long headers = 0;
    curl_easy_getinfo(Curl.get(), CURLINFO_SIZE_DOWNLOAD_T, &body);
    curl_easy_getinfo(Curl.get(), CURLINFO_HEADER_SIZE, &headers);
    ReceivedBytes += static_cast<long long>(body) + headers;
}

// TimeLimit is what is left of the request's time limit; libcurl reads 0 as no limit at all.
void THttpClient::RunOnce(TTransfer& Transfer, long TimeLimit)
{
    const long limit = std::max(TimeLimit, 1L);
    SetOption(Curl.get(), CURLOPT_TIMEOUT_MS, limit);
    const TClock::time_point start = TClock::now();
    Transfer.LastActivity = start;
    Transfer.LastCall = start;
    Transfer.LastDown = 0;
    Transfer.LastUp = 0;
    const auto result = static_cast<CURLcode>(PerformWatched(Transfer));
    if (result == CURLE_OK)
        return;
    if (Transfer.OutOfMemory)
        throw std::bad_alloc();
    // libcurl counts from a moment a little before ours, so its limit can fire a hair early here.
    Transfer.PastTimeLimit = TClock::now() - start + TimeLimitSlack >= std::chrono::milliseconds(limit);
    throw EHttpError(FailureText(Transfer, result));
}

int THttpClient::PerformWatched(TTransfer& Transfer)
{
    CURLM* multi = Multi.get();
    CURL* curl = Curl.get();
    if (curl_multi_add_handle(multi, curl) != CURLM_OK)
        throw EHttpError("Cannot start the request");
    const std::unique_ptr<CURLM, std::function<void(CURLM*)>> added(
        multi, [curl](CURLM* Handle) { curl_multi_remove_handle(Handle, curl); });
    int running = 1;
    while (running > 0) {
        if (const CURLMcode code = curl_multi_perform(multi, &running); code != CURLM_OK)
            throw EHttpError(std::string("Cannot run the request: ") + curl_multi_strerror(code));
        if (running == 0)
            break;
        curl_multi_poll(multi, nullptr, 0, static_cast<int>(WhileWaitingIntervalMs), nullptr);
        if (!StillWanted(Transfer, TClock::now()))
            return CURLE_ABORTED_BY_CALLBACK;
    }
    int left = 0;
    while (const CURLMsg* message = curl_multi_info_read(multi, &left))
        if (message->msg == CURLMSG_DONE && message->easy_handle == curl)
            return message->data.result;
    return CURLE_OK;
}

} // namespace elsetry
