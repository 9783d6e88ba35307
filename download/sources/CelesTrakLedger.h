#pragma once
// CelesTrak's rules for its clients, kept by the client in the settings store so that window runs,
// unattended runs and two processes at once share them: a query is not asked again within the
// update cycle after its answer, and no more error answers are collected than CelesTrak bears
// before it blocks the address they come from.

#include "download/sources/RunStops.h"
#include "download/sources/RunChannel.h"
#include "platform/RunClock.h"
#include "settings/SqliteSettingsStore.h"

#include <chrono>
#include <optional>
#include <string>

namespace elsetry {

struct TCelesTrakRules {
    // CelesTrak's data changes once in this time; the same query is not asked again sooner.
    std::chrono::minutes UpdateCycle{120};
    // At most ErrorAnswers error answers in any ErrorWindow.
    int ErrorAnswers = 50;
    std::chrono::minutes ErrorWindow{120};
};

// What CelesTrak last answered to one URL, and when.
struct TCelesTrakAnswer {
    enum class TKind {
        Data,      // element sets
        Unchanged, // 403: nothing new since the last download
        NoData,    // 404: no element sets for the query
    };
    TKind Kind = TKind::Data;
    TRunClock::TTime When;
};

// The error budget is spent: nothing may be sent to CelesTrak before the time in the text.
class ECelesTrakBudgetSpent : public EUsageLimitReached {
public:
    using EUsageLimitReached::EUsageLimitReached;
};

class TCelesTrakLedger {
public:
    // The ledger is kept in the store file StorePath, under the program key.
    explicit TCelesTrakLedger(std::string StorePath = SettingsStorePath(), TCelesTrakRules Rules = {});

    // Counts a request at Now as an error answer, unless the budget has no room for one more;
    // then nothing is counted and the time it has room again is given. Succeeded takes the count
    // back when the answer is data, so that a request under way, in this process or another,
    // holds its place and two processes never both take the last one. Error times ahead of Now
    // by more than a second (the clock was set back) are taken as made at Now. Raises
    // ESettingsError when the store cannot be read or written.
    std::optional<TRunClock::TTime> Reserve(TRunClock::TTime Now);
    // The request Reserve counted at Reserved brought data: it is no error answer.
    void Succeeded(TRunClock::TTime Reserved);
    // When the budget has room again; nothing when it has room now.
    std::optional<TRunClock::TTime> SpentUntil(TRunClock::TTime Now);

    // CelesTrak's last answer to Target (the path and query of a request, whichever of CelesTrak's
    // addresses it went to), if the store knows one. An answer dated after Now (the
    // clock was set back) is taken as given at Now, and kept so, so that it holds the URL back
    // for one update cycle at most.
    std::optional<TCelesTrakAnswer> LastAnswer(const std::string& Target, TRunClock::TTime Now);
    void RecordAnswer(const std::string& Target, const TCelesTrakAnswer& Answer);

    const TCelesTrakRules& Rules() const { return Limits; }

private:
    std::string StoreFile;
    TCelesTrakRules Limits;
};

// "2 hours", "90 minutes": a span as the log says it.
std::string SpanText(std::chrono::minutes Span);
// What the log says when the budget is spent until RoomAt.
std::string SpentBudgetText(const TCelesTrakRules& Rules, TRunClock::TTime RoomAt);

// Sends a GET request for Url within the error budget and gives the answer's body. Raises
// ECelesTrakBudgetSpent without sending when the budget has no room, and what the channel raises
// when the request fails; the failure then counts as an error answer.
std::string CountedGet(TCelesTrakLedger& Ledger, TRunClock& Clock, TRunChannel& Channel, const std::string& Url);

} // namespace elsetry
