#include "settings/FileNameSettings.h"
#include "settings/FileOptions.h"

#include <gtest/gtest.h>

#include <tuple>

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

// Each file's form and long numbers are named after its file name setting; what the window and
// the import accept for them.
TEST(FileOptionSettings, NamesAndValuesTheWindowAndImportAccept)
{
    EXPECT_EQ(FormSetting("NameWeather"), "FormWeather");
    EXPECT_EQ(LongNumbersSetting("NameMyFavourites"), "LongNumbersMyFavourites");
    const std::tuple<std::string_view, std::string_view, bool, bool> values[] = {
        {"FormWeather", "csv", true, true},
        {"formweather", "JSON", true, true},
        {"FormMyFavourites", "", true, true},
        {"FormGeo", "three line", true, false},
        {"LongNumbersVisible", "leave out", true, true},
        {"LongNumbersVisible", "drop", true, false},
        {"LineEnds", "LF", true, true},
        {"lineends", "cr lf", true, true},
        {"LineEnds", "CRLF", true, false},
        {"FormNowhere", "csv", false, true},
        {"NameWeather", "csv", false, true},
    };
    for (const auto& [name, text, known, allowed] : values) {
        EXPECT_EQ(IsFileOptionSetting(name), known) << name;
        EXPECT_EQ(FileOptionRule(name, text).empty(), allowed) << name << " " << text;
    }
    EXPECT_EQ(FileFormOfText(FileFormText(TFileForm::TwoLine)), TFileForm::TwoLine);
    EXPECT_EQ(LineEndsOfText(""), TLineEnds::CrLf);
}

} // namespace
} // namespace elsetry::test
