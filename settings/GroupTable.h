#pragma once
// The element-set groups a run can fetch, one row each: what the window shows and stores, and how
// each source asks for the group. Every source, the window's rows and the file name settings are
// read from this table.

#include <array>
#include <cstddef>
#include <string_view>

namespace elsetry {

struct TSpaceTrackGroup {
    std::string_view Name; // the row's check box caption
    int Id;                // the group's Id in the form exchange's "/perl/dl.pl?ID="
    // The settings values under which the window keeps the row's choice and its file name.
    std::string_view ChoiceSetting;
    std::string_view FileNameSetting;
    // The query API: each filter is the part of a gp query between "class/gp/" and the order, the
    // group being the sets of all of them together; or, with no filters, the members of the group
    // CelesTrak publishes under Membership.
    std::array<std::string_view, 2> ApiFilters;
    std::string_view Membership;
    bool FullCatalogue; // the query API allows the whole catalogue once an hour
    // CelesTrak's gp.php: "GROUP=weather" or "NAME=INMARSAT". CelesTrak publishes no whole
    // catalogue; the Full Satellite Catalog takes its group of active satellites.
    std::string_view CelesTrakQuery;
};

inline constexpr std::size_t GroupCount = 12;

// In the order a run fetches them. Payloads are picked by a text in their name; CelesTrak's
// membership stands in for the groups Space-Track no longer publishes.
inline constexpr std::array<TSpaceTrackGroup, GroupCount> SpaceTrackGroups{{
    {"Full Satellite Catalog",
     2,
     "GetFullCatalog",
     "NameFullCatalog",
     {"decay_date/null-val/epoch/>now-30"},
     {},
     true,
     "GROUP=active"},
    {"Amateur", 20, "GetAmateur", "NameAmateur", {}, "amateur", false, "GROUP=amateur"},
    {"Geosynchronous",
     4,
     "GetGeo",
     "NameGeo",
     {"MEAN_MOTION/0.99--1.01/ECCENTRICITY/<0.01/OBJECT_TYPE/payload/decay_date/null-val"},
     {},
     false,
     "GROUP=geo"},
    {"Globstar",
     14,
     "GetGlobstar",
     "NameGlobstar",
     {"OBJECT_TYPE/payload/OBJECT_NAME/~~GLOBALSTAR/decay_date/null-val"},
     {},
     false,
     "GROUP=globalstar"},
    {"Inmarsat",
     18,
     "GetInmarsat",
     "NameInmarsat",
     {"OBJECT_TYPE/payload/OBJECT_NAME/~~INMARSAT/decay_date/null-val"},
     {},
     false,
     "NAME=INMARSAT"},
    {"Intelsat",
     16,
     "GetIntelsat",
     "NameIntelsat",
     {"OBJECT_TYPE/payload/OBJECT_NAME/~~INTELSAT/decay_date/null-val"},
     {},
     false,
     "GROUP=intelsat"},
    {"Iridium",
     10,
     "GetIridium",
     "NameIridium",
     {"OBJECT_TYPE/payload/OBJECT_NAME/~~IRIDIUM/decay_date/null-val"},
     {},
     false,
     "GROUP=iridium-NEXT"},
    {"Navigation", 6, "GetNavigation", "NameNavigation", {}, "gnss", false, "GROUP=gnss"},
    {"Orbcomm",
     12,
     "GetOrbcomm",
     "NameOrbcomm",
     {"OBJECT_TYPE/payload/OBJECT_NAME/~~ORBCOMM/decay_date/null-val",
      "OBJECT_TYPE/payload/OBJECT_NAME/~~VESSELSAT/decay_date/null-val"},
     {},
     false,
     "GROUP=orbcomm"},
    {"Special Interest",
     24,
     "GetSpecialInterest",
     "NameSpecialInterest",
     {},
     "last-30-days",
     false,
     "GROUP=last-30-days"},
    {"Weather", 8, "GetWeather", "NameWeather", {}, "weather", false, "GROUP=weather"},
    {"Visible", 22, "GetVisible", "NameVisible", {}, "visual", false, "GROUP=visual"},
}};

// A row asks the query API either by its filters or by a membership, never both or neither.
constexpr bool HasOneApiWay(const TSpaceTrackGroup& Group)
{
    return Group.ApiFilters[0].empty() != Group.Membership.empty();
}

static_assert([] {
    for (const TSpaceTrackGroup& group : SpaceTrackGroups)
        if (!HasOneApiWay(group) || group.CelesTrakQuery.empty())
            return false;
    return true;
}());

} // namespace elsetry
