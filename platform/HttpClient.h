#pragma once
// The HTTP/1.1 client of the catalogue session: one libcurl handle for the program's life, so that
// cookies, proxy settings and the read time-out carry over from one download run to the next.

#include "platform/AnswerLimit.h"

#include <chrono>
#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

struct curl_slist;

namespace elsetry {

// A request that did not give a usable answer: no connection, a read time-out, a transfer too
// slow or too long, a transfer cut short, an answer status of 400 or more, a redirect (never
// followed), an answer too large, a body that could not be written. The text is short and plain,
// fit to stand in brackets after a file name: "HTTP 500", "timed out after 21 s", "connection
// refused", "proxy refused the credentials (407)", "redirected to https://x/ (HTTP 302)".
class EHttpError : public std::runtime_error {
public:
    // Status is the service's status (a redirect, or 400 and up), 0 when the failure was not an
    // answer; a source needs it to tell an expired session (401) from other refusals. Body is the
    // start of such an answer's body, where the service says why.
    explicit EHttpError(const std::string& Reason, long Status = 0, std::string Body = {}, std::string RetryAfter = {})
        : std::runtime_error(Reason), Code(Status), Text(std::move(Body)), Retry(std::move(RetryAfter))
    {
    }
    long Status() const { return Code; }
    const std::string& Body() const { return Text; }
    // The answer's Retry-After header as sent (seconds or an HTTP date); empty when there was none.
    const std::string& RetryAfter() const { return Retry; }

    // How much of an error answer's body is kept.
    static constexpr std::size_t BodyBytes = 4096;

private:
    long Code;
    std::string Text;
    std::string Retry;
};

// The time a Retry-After value names, read at Now: a number of seconds after Now, or an HTTP date.
// Nothing for a value that is neither, or for a time before Now.
std::optional<std::chrono::system_clock::time_point> RetryAfterTime(std::string_view Value,
                                                                    std::chrono::system_clock::time_point Now);

struct TFormField {
    std::string Name;
    std::string Value;
};

// Form fields as "application/x-www-form-urlencoded": name=value pairs in the given order joined
// with "&", each value percent-encoded (everything but letters, digits and "-._~").
std::string FormEncode(const std::vector<TFormField>& Fields);

class THttpClient {
public:
    static constexpr long DefaultReadTimeoutMs = 21000;
    static constexpr long DefaultLowSpeedBytes = 1024;
    static constexpr long DefaultLowSpeedSeconds = 60;
    static constexpr long DefaultTimeLimitMs = 10 * 60 * 1000;

    THttpClient();
    ~THttpClient();
    THttpClient(const THttpClient&) = delete;
    THttpClient& operator=(const THttpClient&) = delete;

    // Writes the answer's body to the open file descriptor Fd. Raises EHttpError; whatever arrived
    // before the failure is then in the file.
    void GetToFile(const std::string& Url, int Fd);
    // The answer's body. Raises EHttpError.
    std::string GetText(const std::string& Url);
    // Posts the fields with the request content type (the form type when none is set) and gives
    // the answer's body. Raises EHttpError.
    std::string PostForm(const std::string& Url, const std::vector<TFormField>& Fields);

    // Whether the client holds a cookie of that name, for any site; a session opens with one.
    bool HasCookie(const std::string& Name) const;

    // Sent as Content-Type with posts; empty for none.
    void SetContentType(const std::string& ContentType) { RequestContentType = ContentType; }
    const std::string& ContentType() const { return RequestContentType; }

    // A request fails when no data moves for this long, from the start of the request to its end.
    void SetReadTimeout(long Milliseconds) { ReadTimeoutMs = Milliseconds; }
    long ReadTimeout() const { return ReadTimeoutMs; }
    // A request fails when it moves fewer than Bytes over Seconds (at least 1), so that a service
    // sending a byte now and then cannot hold it open.
    void SetLowSpeedLimit(long Bytes, long Seconds);
    // A request fails when it runs longer than this in all.
    void SetTimeLimit(long Milliseconds) { TimeLimitMs = Milliseconds; }
    long TimeLimit() const { return TimeLimitMs; }

    // An empty host means no proxy. Credentials are given to the proxy only when it asks for them.
    void SetProxyHost(const std::string& Host) { ProxyHost = Host; }
    void SetProxyPort(int Port) { ProxyPort = Port; }
    void SetProxyUserName(const std::string& UserName) { ProxyUserName = UserName; }
    void SetProxyPassword(const std::string& Password) { ProxyPassword = Password; }
    const std::string& ProxyHostName() const { return ProxyHost; }
    int ProxyPortNumber() const { return ProxyPort; }
    const std::string& ProxyUser() const { return ProxyUserName; }
    const std::string& ProxyPass() const { return ProxyPassword; }

    // A file of certificates trusted instead of the system's, for a service with its own authority.
    void SetCertificateAuthorities(const std::string& PemFile);
    void SetMaxAnswerBytes(std::size_t Bytes) { MaxAnswerBytes = Bytes; }

    // What a request has received of its answer; Total is 0 when the service sent no length.
    struct TProgress {
        long long Bytes = 0;
        long long Total = 0;
    };
    // Called about every WhileWaitingIntervalMs while a request is under way, so that the caller
    // can keep its window alive; answering false abandons the request, which fails as "cancelled".
    using TWhileWaiting = std::function<bool(const TProgress&)>;
    static constexpr long WhileWaitingIntervalMs = 75;
    void SetWhileWaiting(TWhileWaiting Hook) { WhileWaiting = std::move(Hook); }

    // Called as each request is about to leave, once its connection is open, so that a usage count
    // goes by the time the service sees. A hook that raises stops the request, which fails with
    // the hook's text; empty for none.
    using TSending = std::function<void()>;
    void SetSending(TSending Hook) { SendingHook = std::move(Hook); }

    // Answers to GetText and PostForm may come gzip-compressed (on by default); GetToFile always
    // takes the body as sent.
    void SetAcceptGzip(bool Accept) { AcceptGzip = Accept; }
    // The bytes of answers received so far, headers included, as they crossed the network.
    long long WireBytes() const { return ReceivedBytes; }

    struct TTransfer;

private:
    // libcurl's easy and multi handles; its C interface declares both as void.
    struct TCurlCleanup {
        void operator()(void* Handle) const;
    };

    void Perform(const std::string& Url, const std::string* Form, TTransfer& Transfer, bool Compressed);
    void CountWireBytes();
    void ApplySettings(const std::string* Form, curl_slist* Headers);
    void RunOnce(TTransfer& Transfer, long TimeLimit);
    // Runs the transfer, waking at least every WhileWaitingIntervalMs to ask the hook: libcurl's
    // own progress calls come only once a second while nothing arrives.
    int PerformWatched(TTransfer& Transfer);

    struct TMultiCleanup {
        void operator()(void* Handle) const;
    };

    std::unique_ptr<void, TCurlCleanup> Curl;
    // Runs the requests of Curl, and keeps its connections from one request to the next.
    std::unique_ptr<void, TMultiCleanup> Multi;
    std::string RequestContentType;
    long ReadTimeoutMs = DefaultReadTimeoutMs;
    long LowSpeedBytesPerSecond = 0;
    long LowSpeedSeconds = 0;
    long TimeLimitMs = DefaultTimeLimitMs;
    std::string ProxyHost;
    int ProxyPort = 0;
    std::string ProxyUserName;
    std::string ProxyPassword;
    std::size_t MaxAnswerBytes = AnswerLimitBytes;
    TWhileWaiting WhileWaiting;
    TSending SendingHook;
    bool AcceptGzip = true;
    long long ReceivedBytes = 0;
};

} // namespace elsetry
