#include "text/CatalogueNumber.h"

#include <gtest/gtest.h>

using namespace elsetry;

namespace {

TEST(CatalogueNumberTest, ReadsDigitsAndTheLetterForm)
{
    const std::pair<std::string_view, std::optional<int>> cases[] = {
        {"A0000", 100000},
        {"E8493", 148493},
        {"J2931", 182931},
        {"P4018", 234018},
        {"W1928", 301928},
        {"Z9999", 339999},
        {"H9999", 179999},
        {"J0000", 180000},
        {"N9999", 229999},
        {"P0000", 230000},
        {"e8493", 148493}, // letter case ignored
        {"z9999", 339999},
        {"I0000", std::nullopt}, // I and O are never used
        {"O1234", std::nullopt},
        {"i0000", std::nullopt},
        {"o1234", std::nullopt},
        {"25544", 25544},
        {"00007", 7},
        {"7", 7},
        {"    7", 7}, // blanks pad the field as zeros do
        {" 1234", 1234},
        {"00000", 0},
        {"0", 0},
        {"99999", 99999},
        {"148493", 148493},
        {"339999", 339999},
        {"000000000025544", 25544},
        {"340000", std::nullopt}, // beyond what five columns can hold
        {"1000000", std::nullopt},
        {"99999999999", std::nullopt},
        {"", std::nullopt},
        {"     ", std::nullopt},
        {"1234 ", std::nullopt},
        {"12 34", std::nullopt},
        {"\t1234", std::nullopt},
        {"-1234", std::nullopt},
        {"+1234", std::nullopt},
        {"2554A", std::nullopt},
        {"E849", std::nullopt}, // the letter form has exactly four digits
        {"E84930", std::nullopt},
        {" E8493", std::nullopt},
        {"E8493 ", std::nullopt},
        {"E84-3", std::nullopt},
        {"AA000", std::nullopt},
        {"\xc3\x89" "8493", std::nullopt}, // a letter of another script
    };
    for (const auto& [text, value] : cases)
        EXPECT_EQ(CatalogueNumberValue(text), value) << '"' << text << '"';
}

TEST(CatalogueNumberTest, WritesFiveCharacters)
{
    const std::pair<int, std::string_view> cases[] = {
        {0, "00000"},      {7, "00007"},      {25544, "25544"},  {99999, "99999"},
        {100000, "A0000"}, {148493, "E8493"}, {182931, "J2931"}, {234018, "P4018"},
        {301928, "W1928"}, {339999, "Z9999"}, {179999, "H9999"}, {180000, "J0000"},
        {229999, "N9999"}, {230000, "P0000"}, {340000, ""},      {-1, ""},
    };
    for (const auto& [number, text] : cases)
        EXPECT_EQ(Alpha5Text(number), text) << number;
}

TEST(CatalogueNumberTest, EveryNumberReadsBackFromItsText)
{
    for (int number = 0; number <= LargestCatalogueNumber; ++number) {
        const std::string text = Alpha5Text(number);
        ASSERT_EQ(text.size(), 5u) << number;
        ASSERT_EQ(CatalogueNumberValue(text), number) << text;
    }
}

} // namespace
