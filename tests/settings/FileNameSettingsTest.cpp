#include "settings/FileNameSettings.h"

#include <gtest/gtest.h>

namespace elsetry::test {
namespace {

// The window and the import refuse values of these settings that are not plain file names.
TEST(FileNameSettings, GroupAndListFileNamesAreKnownWhateverTheirCase)
{
    const std::pair<std::string_view, bool> names[] = {
        {"NameFullCatalog", true},  {"nameGEO", true},          {"NameVisible", true}, {"GetGeo", false},
        {"NameMyFavourites", true}, {"namemyfavourites", true}, {"KeplerPath", false}, {"HistoricDataPath", false},
        {"WantedHistoric", false},  {"Password", false},        {"", false},
    };
    for (const auto& [name, expected] : names)
        EXPECT_EQ(IsFileNameSetting(name), expected) << name;
}

} // namespace
} // namespace elsetry::test
