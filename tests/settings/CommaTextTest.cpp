#include "settings/CommaText.h"

#include <gtest/gtest.h>

namespace elsetry {
namespace {

using TItems = std::vector<std::string>;

TEST(CommaText, Reading)
{
    const std::pair<std::string, TItems> cases[] = {
        {"", {}},
        {"   \t\r\n", {}},
        {"\"\"", {""}},
        {"NOAA-15,NOAA-18,NOAA-19", {"NOAA-15", "NOAA-18", "NOAA-19"}},
        {"  a  ,  b  ", {"a", "b"}},
        {"a b\tc", {"a", "b", "c"}},               // blanks separate like commas
        {"a,,b", {"a", "", "b"}},                  // two commas give an empty item
        {",a", {"", "a"}},
        {"a,", {"a"}},                             // a trailing comma adds nothing
        {"a , b", {"a", "b"}},
        {"a, ,b", {"a", "", "b"}},                 // blanks after a comma go, the next comma stays
        {"\"two words\",x", {"two words", "x"}},
        {"\"say \"\"hi\"\"\"", {"say \"hi\""}},
        {"\"a,b\"", {"a,b"}},
        {"\"a\"b", {"a", "b"}},                    // an item ends at its closing quote
        {"\"unfinished, item", {"unfinished, item"}}, // runs to the end of the text
        {"\"ends in a doubled quote\"\"", {"ends in a doubled quote\""}},
        {"Météo,ÉTÉ", {"Météo", "ÉTÉ"}},           // bytes above 127 are not blanks
        {"a\x01" "b", {"a", "b"}},
    };
    for (const auto& [text, items] : cases)
        EXPECT_EQ(ReadCommaText(text), items) << '[' << text << ']';
}

TEST(CommaText, Writing)
{
    const std::pair<TItems, std::string> cases[] = {
        {{}, ""},
        {{""}, "\"\""},
        {{"NOAA-15", "NOAA-18"}, "NOAA-15,NOAA-18"},
        {{"two words"}, "\"two words\""},
        {{"a,b", "say \"hi\"", "tab\there"}, "\"a,b\",\"say \"\"hi\"\"\",\"tab\there\""},
        {{"", "a"}, ",a"},
        {{"a", "", "b"}, "a,,b"},
        {{"Météo"}, "Météo"},
    };
    for (const auto& [items, text] : cases)
        EXPECT_EQ(CommaTextOf(items), text);
}

TEST(CommaText, RoundTrips)
{
    const TItems cases[] = {
        {},
        {""},
        {"FY1C", "ISS-Zarya", "MetOp-A"},
        {"", "", "x"},
        {"a b", "\"", "\"\"", ",", " lead", "trail ", "line\nbreak"},
        {"25544", "33591"},
    };
    for (const TItems& items : cases)
        EXPECT_EQ(ReadCommaText(CommaTextOf(items)), items) << CommaTextOf(items);
}

} // namespace
} // namespace elsetry
