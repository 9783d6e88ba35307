#pragma once
// Which satellites belong to the groups Space-Track no longer publishes (amateur, navigation,
// special interest, visible, weather): CelesTrak publishes their membership, and a run then asks
// Space-Track for those catalogue numbers. A membership is kept in the settings store with the
// time it was read and read again at most once every two hours.

#include "download/sources/CelesTrakLedger.h"
#include "download/sources/RunChannel.h"
#include "platform/RunClock.h"
#include "settings/SqliteSettingsStore.h"

#include <chrono>
#include <string>
#include <string_view>
#include <vector>

namespace elsetry {

// The catalogue numbers in the NORAD_CAT_ID column of CelesTrak's CSV answer (a header line of
// field names, then one line per object, RFC 4180 quoting), in the answer's order. Raises
// EGroupFailed when the text has no such column or a row's number is not a catalogue number.
std::vector<long> CsvCatalogueNumbers(std::string_view Csv);

class TGroupMembership {
public:
    explicit TGroupMembership(TRunClock& Clock, std::string StorePath = SettingsStorePath(),
                              std::chrono::minutes Refresh = std::chrono::hours(2));

    // The members of CelesTrak's group Group ("amateur", "gnss", "last-30-days", "visual",
    // "weather"): from the store when read less than Refresh ago; otherwise read from
    // Address + "/NORAD/elements/gp.php?GROUP=<Group>&FORMAT=csv" through Channel and kept. The
    // request counts in CelesTrak's error budget and is not sent when the budget is spent. When
    // it fails, the kept members however old, with a note on the channel saying so. Raises
    // EGroupFailed, naming Address's host, when none are kept either, or the answer holds no member.
    std::vector<long> Numbers(TRunChannel& Channel, const std::string& Address, std::string_view Group);

private:
    TRunClock& Clock;
    std::string StoreFile;
    std::chrono::minutes RefreshAfter;
    TCelesTrakLedger Ledger;
};

} // namespace elsetry
