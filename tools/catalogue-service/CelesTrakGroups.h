#pragma once
// The membership of the groups CelesTrak publishes, as the stand-in answers it: which group file
// of the data folder stands for a group name, and the CSV answer.

#include "tools/catalogue-service/GpQuery.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace elsetry::service {

// The group file ID that holds the group Name ("weather" is the Weather group's file), letter
// case aside; nothing for a name CelesTrak does not publish.
std::optional<int> CelesTrakGroupFile(std::string_view Name);

// A header line of field names, then one line per set, each ended by CR LF.
std::string MembershipCsv(const std::vector<TGpRecord>& Records);

} // namespace elsetry::service
