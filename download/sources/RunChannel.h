#pragma once
// The requests a source sends during a run. Each is given the time left before the run deadline,
// so that no source can keep a run going past it; a source decides only what to ask.

#include "platform/RunClock.h"
#include "download/sources/RunDeadline.h"
#include "platform/HttpClient.h"
#include "platform/TempFile.h"

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace elsetry {

class TRunChannel {
public:
    TRunChannel(THttpClient& Http, TKepTempFile& TempFile, const TRunDeadline& Deadline, long RequestMs);

    // The answer's body. Raises EHttpError.
    std::string GetText(const std::string& Url);
    // Raises EHttpError.
    std::string PostForm(const std::string& Url, const std::vector<TFormField>& Fields);
    // Fetches a gzip-compressed (or plain) answer through the run's temporary file and gives its
    // lines. Raises EHttpError, EGroupFailed when the file cannot be written, and what
    // GunzipToLines raises; whatever part arrived is then gone, so it can never be saved.
    std::vector<std::string> GetGzipLines(const std::string& Url);

    // Whether the client holds a cookie of that name; a session opens with one.
    bool HasCookie(const std::string& Name) const { return Http.HasCookie(Name); }

    // A line for the run's log from the source: a wait, a limit, an older membership used.
    void Note(const std::string& Line) const
    {
        if (Notes)
            Notes(Line);
    }
    void SetNotes(std::function<void(const std::string&)> Sink) { Notes = std::move(Sink); }
    // Whether the run deadline has passed; a source stops waiting then.
    bool DeadlinePassed() const { return Deadline.Passed(); }

    // Called as each request leaves, until set to nothing.
    void SetSending(THttpClient::TSending Hook) { Http.SetSending(std::move(Hook)); }

    // Called while requests and waits are under way; false abandons the request or wait.
    void SetWhileWaiting(THttpClient::TWhileWaiting Hook);
    // Waits Time on Clock in short slices, calling the hook between them, so that a window stays
    // alive through a usage-limit wait. Raises ERunCancelled when the hook answers false.
    void Wait(TRunClock& Clock, std::chrono::milliseconds Time);
    // While the hook is called from Wait, how much of the wait is left; zero otherwise.
    std::chrono::milliseconds TimeLeftToWait() const { return WaitLeft; }

    // From now on every request is given exactly this long, whatever the run deadline and the
    // request limit say; nothing goes back to them.
    void GiveEachRequest(std::optional<std::chrono::milliseconds> Time) { FixedTime = Time; }

private:
    void LimitNextRequest();
    void FetchToTempFile(const std::string& Url);

    THttpClient& Http;
    TKepTempFile& TempFile;
    const TRunDeadline& Deadline;
    long RequestMs;
    std::optional<std::chrono::milliseconds> FixedTime;
    std::function<void(const std::string&)> Notes;
    THttpClient::TWhileWaiting WhileWaiting;
    std::chrono::milliseconds WaitLeft{0};
};

} // namespace elsetry
