#include "download/UsageLedger.h"

#include "settings/RegistryVariables.h"
#include "text/Strings.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <utility>
#include <vector>

namespace elsetry {

namespace {

using TMillis = std::int64_t; // since the Unix epoch

constexpr const char* RequestsValue = "SpaceTrackRequests";
constexpr const char* FullCatalogueValue = "SpaceTrackFullCatalogue";

constexpr TMillis MinuteMs = 60 * 1000;
constexpr TMillis HourMs = 60 * MinuteMs;
// A count made by another process a moment after this one read the clock is a little ahead of
// Now. Anything further ahead was counted before the clock was set back; it is taken as made at
// Now, so that it leaves the windows within the hour instead of holding requests back for as long
// as the clock is behind (for ever, for a garbled time).
constexpr TMillis FutureTolerance = 1000;

std::string UsageKey()
{
    return ProgramKeyPath() + "\\Usage";
}

TMillis MillisOf(TRunClock::TTime Time)
{
    return std::chrono::floor<std::chrono::milliseconds>(Time).time_since_epoch().count();
}

// A stored time; nothing for a text that is not one, or for a time the clock cannot hold.
std::optional<TMillis> ReadMillis(std::string_view Text)
{
    constexpr TMillis Largest =
        std::chrono::duration_cast<std::chrono::milliseconds>(TRunClock::TTime::max().time_since_epoch()).count();
    Text = Trim(Text);
    TMillis value = 0;
    const auto [end, error] = std::from_chars(Text.data(), Text.data() + Text.size(), value);
    if (Text.empty() || error != std::errc() || end != Text.data() + Text.size() || value > Largest || value < -Largest)
        return std::nullopt;
    return value;
}

// The string value Name of the key; empty when missing or of another kind, which only a
// hand-edited store holds and the next write replaces.
std::string StringValue(TSqliteSettingsStore& Store, const std::string& Name)
{
    const std::vector<TStoredKey> tree = Store.ReadTree(UsageKey());
    if (tree.empty())
        return {};
    for (const TStoredValue& value : tree.front().Values)
        if (SameText(value.Name, Name))
            return value.Kind == TValueKind::String ? value.Text : std::string();
    return {};
}

// The request times of the stored text still in the hour before Now, oldest first; entries that
// are not numbers are dropped.
std::vector<TMillis> RecentRequests(std::string_view Text, TMillis Now)
{
    std::vector<TMillis> times;
    while (!Text.empty()) {
        const std::size_t comma = std::min(Text.find(','), Text.size());
        const std::optional<TMillis> time = ReadMillis(Text.substr(0, comma));
        if (time && *time > Now - HourMs)
            times.push_back(*time > Now + FutureTolerance ? Now : *time);
        Text.remove_prefix(std::min(comma + 1, Text.size()));
    }
    std::sort(times.begin(), times.end());
    return times;
}

std::string TimesText(const std::vector<TMillis>& Times)
{
    std::string text;
    for (const TMillis time : Times)
        text += (text.empty() ? "" : ",") + std::to_string(time);
    return text;
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
    const std::optional<TMillis> last = ReadMillis(StringValue(Store, FullCatalogueValue));
    if (last && *last > Now + FutureTolerance)
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
        const std::string stored = StringValue(store, RequestsValue);
        std::vector<TMillis> times = RecentRequests(stored, now);
        const TMillis minuteWait = WaitForRoom(times, now, Limits.PerMinute, MinuteMs);
        const TMillis hourWait = WaitForRoom(times, now, Limits.PerHour, HourMs);
        const TMillis wait = std::max(minuteWait, hourWait);
        if (wait == 0) {
            times.push_back(now);
        } else {
            admission.Wait = std::chrono::milliseconds(wait);
            admission.Limit = hourWait > minuteWait ? LimitText(Limits.PerHour, "an hour")
                                                    : LimitText(Limits.PerMinute, "a minute");
            admission.Kind = admission.Wait >= Limits.LongestWait ? TAdmission::TKind::Refused
                                                                  : TAdmission::TKind::AfterWait;
        }
        if (const std::string text = TimesText(times); text != stored)
            store.WriteString(RequestsValue, text);
        SettleFullCatalogue(store, now);
    });
    return admission;
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
    const std::optional<TMillis> last = ReadMillis(StringValue(store, FullCatalogueValue));
    if (!last)
        return std::nullopt;
    return TRunClock::TTime(std::chrono::milliseconds(*last));
}

} // namespace elsetry
