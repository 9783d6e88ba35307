#include "download/LastRun.h"

#include "platform/RunClock.h"
#include "settings/RegistryVariables.h"
#include <algorithm>
#include <charconv>
#include <ctime>

namespace elsetry {

namespace {

constexpr const char* EndedSetting = "LastRunEnded";
constexpr const char* OutcomeSetting = "LastRunOutcome";
constexpr const char* SummarySetting = "LastRunSummary";
// Written by every version: the time of the last complete run, "2026-12-09 04:10 UTC".
constexpr const char* LastSuccessfulRunSetting = "LastSuccessfulRun";
constexpr std::size_t MostSummaryBytes = 8192;

std::string OutcomeText(TDownloadOutcome Outcome)
{
    switch (Outcome) {
    case TDownloadOutcome::Completed:
        return "complete";
    case TDownloadOutcome::PartlyFailed:
        return "some downloads failed";
    case TDownloadOutcome::DeadlinePassed:
        return "the run deadline passed";
    case TDownloadOutcome::Stopped:
        return "stopped by the service's limits";
    case TDownloadOutcome::NotStarted:
        return "not started";
    case TDownloadOutcome::Unreachable:
        return "the service did not answer";
    case TDownloadOutcome::LoginRefused:
        return "the login was refused";
    case TDownloadOutcome::Failed:
    case TDownloadOutcome::FailedMidway:
        return "ended by a failure";
    case TDownloadOutcome::Cancelled:
        return "cancelled";
    }
    return "unknown";
}

std::string JoinedSummary(const std::vector<std::string>& Lines)
{
    std::string text;
    for (const std::string& line : Lines) {
        if (text.size() + line.size() + 1 > MostSummaryBytes) {
            text += "...";
            break;
        }
        text += line + "\n";
    }
    if (text.ends_with('\n'))
        text.pop_back();
    return text;
}

std::vector<std::string> SplitSummary(const std::string& Text)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (!Text.empty() && start <= Text.size()) {
        const std::size_t end = std::min(Text.find('\n', start), Text.size());
        lines.push_back(Text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

// "2026-12-09 04:10 UTC" as seconds since 1970.
std::optional<std::time_t> TimeOfText(const std::string& Text)
{
    std::tm fields{};
    const char* end = ::strptime(Text.c_str(), "%Y-%m-%d %H:%M UTC", &fields);
    if (end == nullptr || *end != '\0')
        return std::nullopt;
    return ::timegm(&fields);
}

std::optional<long long> SecondsOfText(const std::string& Text)
{
    long long value = 0;
    const auto [end, error] = std::from_chars(Text.data(), Text.data() + Text.size(), value);
    if (Text.empty() || error != std::errc() || end != Text.data() + Text.size())
        return std::nullopt;
    return value;
}

std::string TimeText(std::time_t Time)
{
    return DateTimeText(std::chrono::system_clock::from_time_t(Time));
}

} // namespace

TLastRun LastRunOf(TDownloadOutcome Outcome, const std::vector<std::string>& Summary, std::time_t Ended)
{
    return {Ended, Outcome == TDownloadOutcome::Completed, OutcomeText(Outcome), Summary};
}

void StoreLastRun(const TLastRun& Run)
{
    TRegistryString ended(EndedSetting, "");
    ended.Value = std::to_string(static_cast<long long>(Run.Ended));
    TRegistryString outcome(OutcomeSetting, "");
    outcome.Value = Run.Outcome;
    TRegistryString summary(SummarySetting, "");
    summary.Value = JoinedSummary(Run.Summary);
}

std::optional<TLastRun> ReadLastRun()
{
    if (const std::optional<long long> ended = SecondsOfText(ReadProgramString(EndedSetting))) {
        TLastRun run;
        run.Ended = static_cast<std::time_t>(*ended);
        run.Outcome = ReadProgramString(OutcomeSetting);
        run.Complete = run.Outcome == "complete";
        run.Summary = SplitSummary(ReadProgramString(SummarySetting));
        return run;
    }
    if (const std::optional<std::time_t> last = TimeOfText(ReadProgramString(LastSuccessfulRunSetting)))
        return TLastRun{*last, true, "complete", {}};
    return std::nullopt;
}

std::string AgeText(std::chrono::seconds Age)
{
    using namespace std::chrono;
    if (Age < seconds(0))
        return "in the future";
    if (Age < hours(1))
        return std::to_string(duration_cast<minutes>(Age).count()) + " min ago";
    if (Age < hours(48))
        return std::to_string(duration_cast<hours>(Age).count()) + " h ago";
    return std::to_string(duration_cast<hours>(Age).count() / 24) + " d ago";
}

TRunStatus RunStatus(const std::optional<TLastRun>& Run, std::time_t Now, std::chrono::seconds MaxAge)
{
    if (!Run)
        return {{"No run yet"}, false};
    const std::chrono::seconds age(static_cast<long long>(Now) - static_cast<long long>(Run->Ended));
    TRunStatus status;
    status.Fresh = Run->Complete && age >= std::chrono::seconds(0) && age <= MaxAge;
    std::string first = "Last run: " + TimeText(Run->Ended) + " (" + AgeText(age) + "), " + Run->Outcome;
    if (Run->Complete && !status.Fresh)
        first += "; older than " + std::to_string(MaxAge.count() / 3600) + " h";
    status.Lines.push_back(first);
    status.Lines.insert(status.Lines.end(), Run->Summary.begin(), Run->Summary.end());
    return status;
}

} // namespace elsetry
