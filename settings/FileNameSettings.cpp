#include "settings/FileNameSettings.h"

#include "settings/GroupTable.h"
#include "text/Strings.h"

#include <algorithm>

namespace elsetry {

namespace {

constexpr std::string_view FileNamePrefix = "Name";

} // namespace

bool IsFileNameSetting(std::string_view ValueName)
{
    const std::string wanted = LowerCase(ValueName);
    const auto named = [&](std::string_view Name) { return LowerCase(Name) == wanted; };
    return named(FavouritesFileNameSetting)
           || std::any_of(SpaceTrackGroups.begin(), SpaceTrackGroups.end(),
                          [&](const TSpaceTrackGroup& Group) { return named(Group.FileNameSetting); });
}

std::string_view PlainFileNameRule()
{
    return "a file name may not be empty, contain \"/\" or begin with \".\"";
}

std::string DefaultFileName(const TSpaceTrackGroup& Group)
{
    return std::string(Group.FileNameSetting.substr(FileNamePrefix.size())) + ".txt";
}

} // namespace elsetry
