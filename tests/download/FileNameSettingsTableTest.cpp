#include "download/sources/SpaceTrackGroups.h"
#include "settings/FileNameSettings.h"

#include <gtest/gtest.h>

namespace elsetry::test {
namespace {

// The window and the import judge file names by the settings rule; every group's file name
// setting must be one of those it knows, and its choice setting must not.
TEST(FileNameSettingsTable, EveryGroupsFileNameSettingIsKnownAsOne)
{
    for (const TSpaceTrackGroup& group : SpaceTrackGroups) {
        EXPECT_TRUE(IsFileNameSetting(group.FileNameSetting)) << group.FileNameSetting;
        EXPECT_FALSE(IsFileNameSetting(group.ChoiceSetting)) << group.ChoiceSetting;
    }
    const std::pair<std::string_view, bool> others[] = {
        {"NameMyFavourites", true}, {"namemyfavourites", true}, {"KeplerPath", false},
        {"HistoricDataPath", false}, {"WantedHistoric", false}, {"Password", false}, {"", false},
    };
    for (const auto& [name, expected] : others)
        EXPECT_EQ(IsFileNameSetting(name), expected) << name;
}

} // namespace
} // namespace elsetry::test
