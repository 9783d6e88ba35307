#pragma once
// The element sets a run last gave the individual list from CelesTrak, each with the time it was
// fetched, kept in the settings store: a run within CelesTrak's update cycle builds the list from
// them instead of asking for the same sets again.

#include "platform/RunClock.h"
#include "settings/SqliteSettingsStore.h"

#include <array>
#include <chrono>
#include <map>
#include <string>

namespace elsetry {

struct TKeptSet {
    std::array<std::string, 3> Lines; // name line and two element lines
    TRunClock::TTime Fetched;
    // An object numbered past what element lines hold, for a CSV or JSON file: its CSV row under
    // OmmCsvHeader, without a line end; Lines are then empty.
    std::string CsvRow = {};
};

class TKeptListSets {
public:
    explicit TKeptListSets(std::string StorePath = SettingsStorePath(),
                           std::chrono::minutes Lifetime = std::chrono::hours(2));

    // The kept sets fetched less than Lifetime before Now, by catalogue number. A set dated after
    // Now (the clock was set back) or stored in another form is left out.
    std::map<long, TKeptSet> Fresh(TRunClock::TTime Now);
    // Keeps Sets in place of any kept for the same numbers, and lets go of every set fetched
    // Lifetime or longer before Now, in one transaction. A set whose lines or row hold a tab or a
    // line break is not kept.
    void Keep(const std::map<long, TKeptSet>& Sets, TRunClock::TTime Now);

private:
    std::string StoreFile;
    std::chrono::minutes Lifetime;
};

} // namespace elsetry
