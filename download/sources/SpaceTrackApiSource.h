#pragma once
// Space-Track's query API: a login form under /ajaxauth that opens a session cookie, each group as
// one or more gp queries answered in three-line form, the individual list as queries of at most
// 200 catalogue numbers. Every request keeps to the service's usage limits, counted in the store.

#include "download/sources/GroupMembership.h"
#include "download/sources/Source.h"
#include "download/sources/UsageLedger.h"

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace elsetry {

class TSpaceTrackApiSource : public TSource {
public:
    TSpaceTrackApiSource(std::string ServiceAddress, std::string CelesTrakAddress, TRunClock& Clock,
                         TUsageRules Rules = {}, const std::string& StorePath = SettingsStorePath());

    std::string LoginUrl() const override;
    void Probe(TRunChannel& Channel) override;
    bool LogIn(TRunChannel& Channel, const std::string& Username, const std::string& Password) override;
    // The full catalogue asked for again within the hour is skipped.
    TSourceAnswer GroupAnswer(TRunChannel& Channel, const TSpaceTrackGroup& Group, TFileForm Form) override;
    TSourceAnswer IndividualListAnswer(TRunChannel& Channel, const std::vector<std::string>& Numbers,
                                       TFileForm Form) override;
    void LogOut(TRunChannel& Channel) override;
    bool GroupsAreQueries() const override { return true; }

private:
    std::string Url(std::string_view Path) const;
    bool SendLogin(TRunChannel& Channel);
    // The sets of the queries together, in catalogue-number order, asked for as 3le, or as OMM of
    // Kind, whose answers are then kept together as the answer's OMM text.
    TSourceAnswer QueriedSets(TRunChannel& Channel, const std::vector<std::string>& Filters, TOmmKind Kind);
    // The body of one query. A lapsed session (401) logs in again and asks once more; nothing
    // when the new login is refused.
    std::optional<std::string> Query(TRunChannel& Channel, const std::string& Filters, TOmmKind Kind);
    // Waits for the usage limits to allow one more request and counts it; gives the time it was
    // counted at. Raises EUsageLimitReached when the wait would be too long, ERunStopped while
    // the service's Retry-After holds.
    TRunClock::TTime Admit(TRunChannel& Channel);
    // Admits one request, counts it again as it leaves, and sends it. A 429 (or a 503 with a
    // Retry-After) raises ERunStopped, and its Retry-After is kept for the next runs.
    std::string Send(TRunChannel& Channel, const std::function<std::string()>& Request);
    void StopOnTooManyRequests(const EHttpError& Error);
    // Why Queries are more than the hour allows; nothing when it has room for them.
    std::optional<std::string> MoreThanTheHourAllows(std::size_t Queries);
    // Why the full catalogue was fetched too recently to be asked for again; nothing when it was not.
    std::optional<std::string> EarlyFullCatalogue();

    std::string Address;
    std::string CelesTrakAddress;
    TRunClock& Clock;
    TUsageLedger Ledger;
    TGroupMembership Membership;
    std::string Username;
    std::string Password;
};

} // namespace elsetry
