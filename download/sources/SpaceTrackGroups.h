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
    // The settings values under which the window keeps the row's choice and its file name.
    std::string_view ChoiceSetting;
    std::string_view FileNameSetting;
};

inline constexpr std::size_t GroupCount = 12;

// In the order a run fetches them.
inline constexpr std::array<TSpaceTrackGroup, GroupCount> SpaceTrackGroups{{
    {"Full Satellite Catalog", 2, "GetFullCatalog", "NameFullCatalog"},
    {"Amateur", 20, "GetAmateur", "NameAmateur"},
    {"Geosynchronous", 4, "GetGeo", "NameGeo"},
    {"Globstar", 14, "GetGlobstar", "NameGlobstar"},
    {"Inmarsat", 18, "GetInmarsat", "NameInmarsat"},
    {"Intelsat", 16, "GetIntelsat", "NameIntelsat"},
    {"Iridium", 10, "GetIridium", "NameIridium"},
    {"Navigation", 6, "GetNavigation", "NameNavigation"},
    {"Orbcomm", 12, "GetOrbcomm", "NameOrbcomm"},
    {"Special Interest", 24, "GetSpecialInterest", "NameSpecialInterest"},
    {"Weather", 8, "GetWeather", "NameWeather"},
    {"Visible", 22, "GetVisible", "NameVisible"},
}};

} // namespace elsetry
