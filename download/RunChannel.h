#pragma once
// The requests a source sends during a run. Each is given the time left before the run deadline,
// so that no source can keep a run going past it; a source decides only what to ask.

#include "download/RunDeadline.h"
#include "platform/HttpClient.h"
#include "platform/TempFile.h"

#include <chrono>
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

    // From now on every request is given at least this long, even past the run deadline.
    void GrantAtLeast(std::chrono::milliseconds Floor) { MinimumTime = Floor; }

private:
    void LimitNextRequest();
    void FetchToTempFile(const std::string& Url);

    THttpClient& Http;
    TKepTempFile& TempFile;
    const TRunDeadline& Deadline;
    long RequestMs;
    std::chrono::milliseconds MinimumTime{0};
};

} // namespace elsetry
