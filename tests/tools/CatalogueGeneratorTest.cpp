#include "tools/catalogue/CatalogueGenerator.h"

#include <gtest/gtest.h>

using namespace elsetry;

namespace {

TEST(CatalogueGeneratorTest, ChecksumCountsDigitsAndMinusSigns)
{
    const std::pair<std::string, int> cases[] = {
        {"", 0},
        {"1 25544U", 1},
        {"1 E8493U", 5}, // the letter counts 0, as every character but digits and "-" does
        {"1 08493U", 5},
        {"2 Z9999", 8},
        {"-", 1},
        {"+.AZaz ", 0},
        {std::string(68, '9') + "9999", 2}, // columns past 68 do not count
    };
    for (const auto& [line, checksum] : cases)
        EXPECT_EQ(ElementLineChecksum(line), checksum) << line;
}

TEST(CatalogueGeneratorTest, LetterFormNumbersFollowNinetyNineThousandNineHundredNinetyNine)
{
    TCatalogueOptions options;
    options.Count = 11 + 4;
    options.FirstNumber = 99998;
    options.Alpha5 = true;
    const std::vector<std::string> lines = GenerateCatalogue(options);
    ASSERT_EQ(lines.size(), 15u * 3);
    const char* const expected[] = {"99998", "99999", "A0000", "A0001"};
    for (std::size_t set = 11; set < 15; ++set) {
        const std::string& one = lines[set * 3 + 1];
        const std::string& two = lines[set * 3 + 2];
        EXPECT_EQ(one.substr(2, 5), expected[set - 11]);
        EXPECT_EQ(two.substr(2, 5), expected[set - 11]);
        ASSERT_EQ(one.size(), 69u);
        EXPECT_EQ(one.back() - '0', ElementLineChecksum(one)) << one;
        EXPECT_EQ(two.back() - '0', ElementLineChecksum(two)) << two;
    }
}

TEST(CatalogueGeneratorTest, WithoutLetterFormNumbersWrapToLowerOnes)
{
    TCatalogueOptions options;
    options.Count = 11 + 2;
    options.FirstNumber = 99999;
    const std::vector<std::string> lines = GenerateCatalogue(options);
    EXPECT_EQ(lines[11 * 3 + 1].substr(2, 5), "99999");
    EXPECT_EQ(lines[12 * 3 + 1].substr(2, 5), "01000");
}

} // namespace
