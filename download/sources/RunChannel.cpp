#include "download/sources/RunChannel.h"

#include "download/sources/RunStops.h"
#include "platform/Gunzip.h"
#include "platform/UniqueFd.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace elsetry {

TRunChannel::TRunChannel(THttpClient& Client, TKepTempFile& File, const TRunDeadline& RunDeadline, long Limit)
    : Http(Client), TempFile(File), Deadline(RunDeadline), RequestMs(Limit)
{
}

void TRunChannel::LimitNextRequest()
{
    Http.SetTimeLimit(FixedTime ? static_cast<long>(FixedTime->count()) : Deadline.RequestLimitMs(RequestMs));
}

void TRunChannel::SetWhileWaiting(THttpClient::TWhileWaiting Hook)
{
    WhileWaiting = Hook;
    Http.SetWhileWaiting(std::move(Hook));
}

void TRunChannel::Wait(TRunClock& Clock, std::chrono::milliseconds Time)
{
    if (!WhileWaiting) {
        Clock.Wait(Time);
        return;
    }
    constexpr std::chrono::milliseconds slice{THttpClient::WhileWaitingIntervalMs};
    while (Time > std::chrono::milliseconds(0)) {
        WaitLeft = Time;
        const bool wanted = WhileWaiting({});
        WaitLeft = std::chrono::milliseconds(0);
        if (!wanted)
            throw ERunCancelled();
        const std::chrono::milliseconds step = std::min(Time, slice);
        Clock.Wait(step);
        Time -= step;
    }
}

std::string TRunChannel::GetText(const std::string& Url)
{
    LimitNextRequest();
    return Http.GetText(Url);
}

std::string TRunChannel::PostForm(const std::string& Url, const std::vector<TFormField>& Fields)
{
    LimitNextRequest();
    return Http.PostForm(Url, Fields);
}

std::vector<std::string> TRunChannel::GetGzipLines(const std::string& Url)
{
    FetchToTempFile(Url);
    return GunzipToLines(TempFile.Path());
}

void TRunChannel::FetchToTempFile(const std::string& Url)
{
    TUniqueFd file(TempFile.Create());
    LimitNextRequest();
    try {
        Http.GetToFile(Url, file.Get());
    } catch (const EHttpError&) {
        // Whatever part arrived must not be read as the group.
        file.Close();
        ::unlink(TempFile.Path().c_str());
        throw;
    }
    if (!file.Close()) {
        const std::string reason = std::string("cannot write the download: ") + std::strerror(errno);
        ::unlink(TempFile.Path().c_str());
        throw EGroupFailed(reason);
    }
}

} // namespace elsetry
