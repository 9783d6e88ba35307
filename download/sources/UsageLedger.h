#pragma once
// Space-Track's usage limits, kept by the client: every request to the service is counted in the
// settings store, so that window runs, unattended runs and two processes at once share one count.
// The service suspends accounts that ask more often than its limits allow.

#include "platform/RunClock.h"
#include "settings/SqliteSettingsStore.h"

#include <chrono>
#include <optional>
#include <string>

namespace elsetry {

struct TUsageRules {
    int PerMinute = 30;
    int PerHour = 300;
    // The windows the counts are kept in: a little longer than a minute and an hour, so that the
    // clocks of client and service and the time a request takes on its way never let the service
    // see one more than it allows.
    std::chrono::milliseconds MinuteWindow{62000};
    std::chrono::milliseconds HourWindow{3620000};
    // The full catalogue is asked for at most once in this time.
    std::chrono::minutes FullCatalogueSpacing{60};
    // A request that would have to wait this long or longer is not sent at all.
    std::chrono::seconds LongestWait{60};
};

// What the ledger says of a request the run is about to send.
struct TAdmission {
    enum class TKind {
        Now,       // counted; send it
        AfterWait, // nothing counted; ask again after Wait
        Refused,   // nothing counted; the wait would be LongestWait or more
        Held,      // nothing counted; the service asked for no request before Wait has passed
    };
    TKind Kind = TKind::Now;
    std::chrono::milliseconds Wait{0};
    // Which limit holds the request back: "30 requests a minute", "300 requests an hour".
    std::string Limit;
};

class TUsageLedger {
public:
    // The count is kept in the store file StorePath, under the program key.
    explicit TUsageLedger(std::string StorePath = SettingsStorePath(), TUsageRules Rules = {});

    // Counts a request at Now when both limits allow one then; otherwise says how long until they
    // do. Checking and counting are one transaction, so two processes never both take the last
    // place. Stored times that are not numbers are dropped, and those ahead of Now by more than a
    // second are taken as made at Now. Raises ESettingsError when the store cannot be read or
    // written.
    TAdmission Admit(TRunClock::TTime Now);
    // The request Admit counted at Admitted left at Sent: the count goes by the time the service
    // saw it. A count no longer kept is made again at Sent.
    void Sent(TRunClock::TTime Admitted, TRunClock::TTime Sent);
    // How many more requests the hour's limit allows at Now.
    int RoomInHour(TRunClock::TTime Now);

    // The service asked for no request before When (its Retry-After): Admit holds every request
    // back until then, in this run and the next ones. A hold more than a day ahead of the Now of
    // an Admit (the clock was set back) holds nothing.
    void HoldUntil(TRunClock::TTime When);

    // The full catalogue arrived whole at When.
    void RecordFullCatalogue(TRunClock::TTime When);
    // When it last did, if the store knows. A time after the Now of a later Admit (the clock was
    // set back since) has been taken as that Now, so it holds the full catalogue back for one
    // spacing at most.
    std::optional<TRunClock::TTime> LastFullCatalogue();
    const TUsageRules& Rules() const { return Limits; }

private:
    std::string StoreFile;
    TUsageRules Limits;
};

} // namespace elsetry
