#pragma once
// The catalogue service's exchange: its paths and the default address of the service; the groups a
// run can fetch are the rows of the group table.

#include "settings/GroupTable.h"

#include <string_view>

namespace elsetry {

inline constexpr std::string_view DefaultSpaceTrackAddress = "https://www.space-track.org";

inline constexpr std::string_view LogoutPath = "/perl/logout.pl";
inline constexpr std::string_view LoginPath = "/perl/login.pl";
inline constexpr std::string_view GroupPathPrefix = "/perl/dl.pl?ID=";
inline constexpr std::string_view QueryPath = "/perl/id_query.pl";

} // namespace elsetry
