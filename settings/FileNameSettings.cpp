#include "settings/FileNameSettings.h"

#include "text/Strings.h"

#include <algorithm>
#include <array>

namespace elsetry {

namespace {

// The groups' "Name<Group>" settings, in the order a run fetches the groups, then the list's.
constexpr std::array<std::string_view, 13> FileNameSettings{
    "NameFullCatalog", "NameAmateur", "NameGeo", "NameGlobstar", "NameInmarsat", "NameIntelsat", "NameIridium",
    "NameNavigation", "NameOrbcomm", "NameSpecialInterest", "NameWeather", "NameVisible", "NameMyFavourites",
};

} // namespace

bool IsFileNameSetting(std::string_view ValueName)
{
    const std::string wanted = LowerCase(ValueName);
    return std::any_of(FileNameSettings.begin(), FileNameSettings.end(),
                       [&](std::string_view Name) { return LowerCase(Name) == wanted; });
}

std::string_view PlainFileNameRule()
{
    return "a file name may not be empty, contain \"/\" or begin with \".\"";
}

} // namespace elsetry
