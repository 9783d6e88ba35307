#include "download/sources/UsageLedger.h"

#include "download/sources/KeptValues.h"
#include "settings/RegistryVariables.h"
#include "text/Strings.h"

#include <algorithm>
#include <cstdint>
#include <utility>
#include <vector>

namespace elsetry {

namespace {

using TMillis = std::int64_t; // since the Unix epoch

constexpr const char* RequestsValue = "SpaceTrackRequests";
constexpr const char* FullCatalogueValue = "SpaceTrackFullCatalogue";
constexpr const char* NotBeforeValue = "SpaceTrackNotBefore";
// A hold further ahead than this was kept before the clock was set back, or garbled: it holds
// nothing.
constexpr TMillis LongestHold = 24LL * 3600 * 1000;
// A count made by another process a moment after this one read the clock is a little ahead of
// Now. Anything further ahead was counted before the clock was set back; it is taken as made at
// Now, so that it leaves the windows within the hour instead of holding requests back for as long
// as the clock is behind (for ever, for a garbled time).
constexpr TMillis FutureTolerance = 1000;

std::string UsageKey()
{
    return ProgramKeyPath() + "\\Usage";
}

TMillis MillisIn(std::chrono::milliseconds Time)
{
    return static_cast<TMillis>(Time.count());
}

// The request times of the stored text still in the hour's window before Now, oldest first;
// entries that are not numbers are dropped.
std::vector<TMillis> RecentRequests(std::string_view Text, TMillis Now, TMillis HourWindow)
{
    std::vector<TMillis> times;
    for (const TMillis time : KeptNumbers(Text))
        if (time > Now - HourWindow)
            times.push_back(time > Now + FutureTolerance ? Now : time);
    std::sort(times.begin(), times.end());
    return times;
}

// How long until Times (oldest first) leave room for one more request in the Window before Now;
// 0 when there is room already.
TMillis WaitForRoom(const std::vector<TMillis>& Times, TMillis Now, int Allowed, TMillis Window)
{
    // A limit below one request would stop every request for good.
    const std::ptrdiff_t allowed = std::max(Allowed, 1);
    const auto first = std::upper_bound(Times.begin(), Times.end(), Now - Window);
    const std::ptrdiff_t counted = Times.end() - first;
    if (counted < allowed)
        return 0;
    // Room comes when all but allowed - 1 of them have left the window.
    return *(first + (counted - allowed)) + Window - Now;
}

// "30 requests a minute".
std::string LimitText(int Allowed, const char* Window)
{
    return std::to_string(Allowed) + (Allowed == 1 ? " request " : " requests ") + Window;
}

// A full catalogue dated after Now (the clock was set back) is taken as fetched at Now.
void SettleFullCatalogue(TSqliteSettingsStore& Store, TMillis Now)
{
    const std::optional<TRunClock::TTime> last = KeptTime(KeptText(Store, UsageKey(), FullCatalogueValue));
    if (last && MillisOf(*last) > Now + FutureTolerance)
        Store.WriteString(FullCatalogueValue, std::to_string(Now));
}

} // namespace

TUsageLedger::TUsageLedger(std::string StorePath, TUsageRules Rules) : StoreFile(std::move(StorePath)), Limits(Rules) {}

TAdmission TUsageLedger::Admit(TRunClock::TTime Now)
{
    const TMillis now = MillisOf(Now);
    TAdmission admission;
    TSqliteSettingsStore store(StoreFile);
    store.InTransaction([&] {
        store.OpenKey(UsageKey(), true);
        const std::string stored = KeptText(store, UsageKey(), RequestsValue);
        std::vector<TMillis> times = RecentRequests(stored, now, MillisIn(Limits.HourWindow));
        const TMillis minuteWait = WaitForRoom(times, now, Limits.PerMinute, MillisIn(Limits.MinuteWindow));
        const TMillis hourWait = WaitForRoom(times, now, Limits.PerHour, MillisIn(Limits.HourWindow));
        const TMillis wait = std::max(minuteWait, hourWait);
        const std::optional<TMillis> hold = KeptNumber(KeptText(store, UsageKey(), NotBeforeValue));
        if (hold && *hold > now && *hold - now <= LongestHold) {
            admission.Kind = TAdmission::TKind::Held;
            admission.Wait = std::chrono::milliseconds(*hold - now);
        } else if (wait == 0) {
            times.push_back(now);
        } else {
            admission.Wait = std::chrono::milliseconds(wait);
            admission.Limit = hourWait > minuteWait ? LimitText(Limits.PerHour, "an hour")
                                                    : LimitText(Limits.PerMinute, "a minute");
            admission.Kind = admission.Wait >= Limits.LongestWait ? TAdmission::TKind::Refused
                                                                  : TAdmission::TKind::AfterWait;
        }
        if (const std::string text = NumberListText(times); text != stored)
            store.WriteString(RequestsValue, text);
        SettleFullCatalogue(store, now);
    });
    return admission;
}

void TUsageLedger::Sent(TRunClock::TTime Admitted, TRunClock::TTime At)
{
    const TMillis admitted = MillisOf(Admitted);
    TSqliteSettingsStore store(StoreFile);
    store.InTransaction([&] {
        store.OpenKey(UsageKey(), true);
        const std::string stored = KeptText(store, UsageKey(), RequestsValue);
        std::vector<TMillis> times = KeptNumbers(stored);
        const auto entry = std::find(times.begin(), times.end(), admitted);
        if (entry != times.end())
            *entry = MillisOf(At);
        else
            times.push_back(MillisOf(At));
        if (const std::string text = NumberListText(times); text != stored)
            store.WriteString(RequestsValue, text);
    });
}

int TUsageLedger::RoomInHour(TRunClock::TTime Now)
{
    TSqliteSettingsStore store(StoreFile);
    const std::vector<TMillis> times =
        RecentRequests(KeptText(store, UsageKey(), RequestsValue), MillisOf(Now), MillisIn(Limits.HourWindow));
    return std::max(Limits.PerHour - static_cast<int>(times.size()), 0);
}

void TUsageLedger::HoldUntil(TRunClock::TTime When)
{
    TSqliteSettingsStore store(StoreFile);
    store.OpenKey(UsageKey(), true);
    store.WriteString(NotBeforeValue, std::to_string(MillisOf(When)));
}

void TUsageLedger::RecordFullCatalogue(TRunClock::TTime When)
{
    TSqliteSettingsStore store(StoreFile);
    store.OpenKey(UsageKey(), true);
    store.WriteString(FullCatalogueValue, std::to_string(MillisOf(When)));
}

std::optional<TRunClock::TTime> TUsageLedger::LastFullCatalogue()
{
    TSqliteSettingsStore store(StoreFile);
    return KeptTime(KeptText(store, UsageKey(), FullCatalogueValue));
}

} // namespace elsetry
