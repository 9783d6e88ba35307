#pragma once
// The catalogue service's exchange: its paths, the element-set groups a run can fetch and the
// default address of the service.

#include <array>
#include <string_view>

namespace elsetry {

inline constexpr std::string_view DefaultSpaceTrackAddress = "https://www.space-track.org";

inline constexpr std::string_view LogoutPath = "/perl/logout.pl";
inline constexpr std::string_view LoginPath = "/perl/login.pl";
inline constexpr std::string_view GroupPathPrefix = "/perl/dl.pl?ID=";
inline constexpr std::string_view QueryPath = "/perl/id_query.pl";

struct TSpaceTrackGroup {
    std::string_view Name; // the row's check box caption
    int Id;
};

inline constexpr std::size_t GroupCount = 12;

// In the order a run fetches them.
inline constexpr std::array<TSpaceTrackGroup, GroupCount> SpaceTrackGroups{{
    {"Full Satellite Catalog", 2},
    {"Amateur", 20},
    {"Geosynchronous", 4},
    {"Globstar", 14},
    {"Inmarsat", 18},
    {"Intelsat", 16},
    {"Iridium", 10},
    {"Navigation", 6},
    {"Orbcomm", 12},
    {"Special Interest", 24},
    {"Weather", 8},
    {"Visible", 22},
}};

} // namespace elsetry
