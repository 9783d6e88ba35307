#pragma once
// Values a run keeps for itself in the settings store: whole numbers, lists of them and times, as
// text. A value that does not read as one (a hand-edited store) counts as missing, and the next
// write replaces it.

#include "platform/RunClock.h"
#include "settings/SqliteSettingsStore.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace elsetry {

// The string value Name of Key; empty when either is missing or the value is of another kind.
std::string KeptText(TSqliteSettingsStore& Store, const std::string& Key, const std::string& Name);

// The whole text as a whole number, blanks around it aside; nothing for any other text.
std::optional<std::int64_t> KeptNumber(std::string_view Text);
// The numbers of a comma-separated list, items that are not numbers left out.
std::vector<std::int64_t> KeptNumbers(std::string_view Text);
std::string NumberListText(const std::vector<std::int64_t>& Numbers);

// A time as milliseconds since the Unix epoch.
std::int64_t MillisOf(TRunClock::TTime Time);
std::string TimeText(TRunClock::TTime Time);
// Nothing for a text that is not a time, or for a time the clock cannot hold.
std::optional<TRunClock::TTime> KeptTime(std::string_view Text);

} // namespace elsetry
