#include "download/sources/CelesTrakLedger.h"

#include "download/sources/KeptValues.h"
#include "settings/RegistryVariables.h"

#include <algorithm>
#include <cstdint>
#include <utility>
#include <vector>

namespace elsetry {

namespace {

using TMillis = std::int64_t; // since the Unix epoch

constexpr const char* ErrorsValue = "ErrorAnswers";
// A count made by another process a moment after this one read the clock is a little ahead of
// Now; anything further ahead was made before the clock was set back.
constexpr TMillis FutureTolerance = 1000;

std::string LedgerKey()
{
    return ProgramKeyPath() + "\\CelesTrak";
}

std::string AnswersKey()
{
    return LedgerKey() + "\\Answers";
}

TMillis MillisIn(std::chrono::minutes Time)
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(Time).count();
}

// The error times of the stored text still in the window before Now, oldest first; entries that
// are not numbers are dropped, and those far ahead of Now taken as made at Now.
std::vector<TMillis> RecentErrors(std::string_view Text, TMillis Now, TMillis Window)
{
    std::vector<TMillis> times;
    for (const TMillis time : KeptNumbers(Text))
        if (time > Now - Window)
            times.push_back(time > Now + FutureTolerance ? Now : time);
    std::sort(times.begin(), times.end());
    return times;
}

// When Times (oldest first) leave room for one more in the window; nothing when they do now.
std::optional<TMillis> RoomAt(const std::vector<TMillis>& Times, int Allowed, TMillis Window)
{
    // A budget below one answer would stop every request for good.
    const std::size_t allowed = static_cast<std::size_t>(std::max(Allowed, 1));
    if (Times.size() < allowed)
        return std::nullopt;
    return Times[Times.size() - allowed] + Window;
}

TRunClock::TTime TimeAt(TMillis Millis)
{
    return TRunClock::TTime(std::chrono::milliseconds(Millis));
}

int StatusOf(TCelesTrakAnswer::TKind Kind)
{
    switch (Kind) {
    case TCelesTrakAnswer::TKind::Unchanged:
        return 403;
    case TCelesTrakAnswer::TKind::NoData:
        return 404;
    default:
        return 200;
    }
}

std::optional<TCelesTrakAnswer::TKind> KindOf(std::int64_t Status)
{
    if (Status == 200)
        return TCelesTrakAnswer::TKind::Data;
    if (Status == 403)
        return TCelesTrakAnswer::TKind::Unchanged;
    if (Status == 404)
        return TCelesTrakAnswer::TKind::NoData;
    return std::nullopt;
}

// "<time>,<status>" as RecordAnswer writes it; nothing for any other text.
std::optional<TCelesTrakAnswer> AnswerOf(std::string_view Text)
{
    const std::vector<std::int64_t> fields = KeptNumbers(Text);
    if (fields.size() != 2)
        return std::nullopt;
    const std::optional<TRunClock::TTime> when = KeptTime(std::to_string(fields[0]));
    const std::optional<TCelesTrakAnswer::TKind> kind = KindOf(fields[1]);
    if (!when || !kind)
        return std::nullopt;
    return TCelesTrakAnswer{*kind, *when};
}

std::string AnswerText(const TCelesTrakAnswer& Answer)
{
    return TimeText(Answer.When) + "," + std::to_string(StatusOf(Answer.Kind));
}

void WriteIfChanged(TSqliteSettingsStore& Store, const std::string& Stored, const std::vector<TMillis>& Times)
{
    if (const std::string text = NumberListText(Times); text != Stored)
        Store.WriteString(ErrorsValue, text);
}

} // namespace

TCelesTrakLedger::TCelesTrakLedger(std::string StorePath, TCelesTrakRules Rules)
    : StoreFile(std::move(StorePath)), Limits(Rules)
{
}

std::optional<TRunClock::TTime> TCelesTrakLedger::Reserve(TRunClock::TTime Now)
{
    const TMillis now = MillisOf(Now);
    const TMillis window = MillisIn(Limits.ErrorWindow);
    std::optional<TMillis> room;
    TSqliteSettingsStore store(StoreFile);
    store.InTransaction([&] {
        store.OpenKey(LedgerKey(), true);
        const std::string stored = KeptText(store, LedgerKey(), ErrorsValue);
        std::vector<TMillis> times = RecentErrors(stored, now, window);
        room = RoomAt(times, Limits.ErrorAnswers, window);
        if (!room)
            times.push_back(now);
        WriteIfChanged(store, stored, times);
    });
    return room ? std::optional(TimeAt(*room)) : std::nullopt;
}

void TCelesTrakLedger::Succeeded(TRunClock::TTime Reserved)
{
    const TMillis reserved = MillisOf(Reserved);
    TSqliteSettingsStore store(StoreFile);
    store.InTransaction([&] {
        store.OpenKey(LedgerKey(), true);
        const std::string stored = KeptText(store, LedgerKey(), ErrorsValue);
        std::vector<TMillis> times = KeptNumbers(stored);
        if (const auto entry = std::find(times.begin(), times.end(), reserved); entry != times.end())
            times.erase(entry);
        WriteIfChanged(store, stored, times);
    });
}

std::optional<TRunClock::TTime> TCelesTrakLedger::SpentUntil(TRunClock::TTime Now)
{
    const TMillis window = MillisIn(Limits.ErrorWindow);
    TSqliteSettingsStore store(StoreFile);
    const std::vector<TMillis> times = RecentErrors(KeptText(store, LedgerKey(), ErrorsValue), MillisOf(Now), window);
    const std::optional<TMillis> room = RoomAt(times, Limits.ErrorAnswers, window);
    return room ? std::optional(TimeAt(*room)) : std::nullopt;
}

std::optional<TCelesTrakAnswer> TCelesTrakLedger::LastAnswer(const std::string& Target, TRunClock::TTime Now)
{
    std::optional<TCelesTrakAnswer> answer;
    TSqliteSettingsStore store(StoreFile);
    store.InTransaction([&] {
        answer = AnswerOf(KeptText(store, AnswersKey(), Target));
        if (answer && MillisOf(answer->When) > MillisOf(Now) + FutureTolerance) {
            answer->When = Now;
            store.OpenKey(AnswersKey(), true);
            store.WriteString(Target, AnswerText(*answer));
        }
    });
    return answer;
}

void TCelesTrakLedger::RecordAnswer(const std::string& Target, const TCelesTrakAnswer& Answer)
{
    TSqliteSettingsStore store(StoreFile);
    store.OpenKey(AnswersKey(), true);
    store.WriteString(Target, AnswerText(Answer));
}

std::string SpanText(std::chrono::minutes Span)
{
    const long minutes = static_cast<long>(Span.count());
    if (minutes % 60 != 0 || minutes <= 60)
        return std::to_string(minutes) + (minutes == 1 ? " minute" : " minutes");
    return std::to_string(minutes / 60) + " hours";
}

std::string SpentBudgetText(const TCelesTrakRules& Rules, TRunClock::TTime RoomAt)
{
    return "CelesTrak gave " + std::to_string(Rules.ErrorAnswers) + " error answers in " + SpanText(Rules.ErrorWindow)
           + ", as many as it bears before it blocks a client; it may be asked again at " + TimeOfDayText(RoomAt);
}

std::string CountedGet(TCelesTrakLedger& Ledger, TRunClock& Clock, TRunChannel& Channel, const std::string& Url)
{
    const TRunClock::TTime now = Clock.Now();
    if (const std::optional<TRunClock::TTime> room = Ledger.Reserve(now))
        throw ECelesTrakBudgetSpent(SpentBudgetText(Ledger.Rules(), *room));
    std::string body = Channel.GetText(Url);
    Ledger.Succeeded(now);
    return body;
}

} // namespace elsetry
