#include "elements/ElementFields.h"
#include "text/Numbers.h"

#include <gtest/gtest.h>

#include <bit>
#include <clocale>
#include <cstdint>
#include <random>
#include <string>

using namespace elsetry;

namespace {

struct TRealCase {
    const char* Line;
    TColumns Field;
    double Expected;
};

class RealFieldTest : public testing::TestWithParam<TRealCase> {};

TEST_P(RealFieldTest, ReadsColumns)
{
    const TRealCase& c = GetParam();
    EXPECT_DOUBLE_EQ(RealField(c.Line, c.Field), c.Expected) << '"' << c.Line << '"';
}

INSTANTIATE_TEST_SUITE_P(Fields, RealFieldTest,
                         testing::Values(TRealCase{"xx14.12345678", {3, 11}, 14.12345678},
                                         TRealCase{"14.1 345678", {1, 11}, 14.10345678}, // inner blank is a zero
                                         TRealCase{" 12345", {1, 6}, 12345.0},
                                         TRealCase{"-11606", {1, 6}, -11606.0},
                                         TRealCase{"+1.5", {1, 4}, 1.5},
                                         TRealCase{".00073094", {1, 9}, 0.00073094},
                                         TRealCase{"-.00002182", {1, 10}, -0.00002182},
                                         TRealCase{"1.5e3", {1, 5}, 1500.0},
                                         TRealCase{"1.2.3", {1, 5}, 0.0},   // two points
                                         TRealCase{"12AB", {1, 4}, 0.0},    // letters
                                         TRealCase{"inf", {1, 3}, 0.0},
                                         TRealCase{"nan", {1, 3}, 0.0},
                                         TRealCase{"1e999", {1, 5}, 0.0},   // out of range
                                         TRealCase{"short", {9, 4}, 0.0},   // starts beyond the end
                                         TRealCase{"12", {1, 8}, 12.0},     // ends early
                                         TRealCase{"   ", {1, 3}, 0.0},     // all blanks
                                         TRealCase{"", {1, 3}, 0.0}));

TEST(IntegerFieldTest, ReadsSignedIntegersAndFallsBackToZero)
{
    EXPECT_EQ(IntegerField("-4", {1, 2}), -4);
    EXPECT_EQ(IntegerField("-0", {1, 2}), 0);
    EXPECT_EQ(IntegerField("+3", {1, 2}), 3);
    EXPECT_EQ(IntegerField("  7", {1, 3}), 7);
    EXPECT_EQ(IntegerField("1 2", {1, 3}), 102);
    EXPECT_EQ(IntegerField("1.5", {1, 3}), 0);
    EXPECT_EQ(IntegerField("99999999999", {1, 11}), 0); // does not fit
    EXPECT_EQ(IntegerField("abc", {5, 2}), 0);
}

TEST(ThreeDigitTextTest, PadsWithZeros)
{
    EXPECT_STREQ(ThreeDigitText(0).data(), "000");
    EXPECT_STREQ(ThreeDigitText(7).data(), "007");
    EXPECT_STREQ(ThreeDigitText(42).data(), "042");
    EXPECT_STREQ(ThreeDigitText(123).data(), "123");
    EXPECT_STREQ(ThreeDigitText(999).data(), "999");
    EXPECT_STREQ(ThreeDigitText(-5).data(), "-5");
    EXPECT_STREQ(ThreeDigitText(-99).data(), "-99");
}

TEST(BlanksToZerosTest, ReplacesEveryBlank)
{
    EXPECT_EQ(BlanksToZeros(" 1 2 "), "01020");
    EXPECT_EQ(BlanksToZeros(""), "");
}

// Runs under a comma-decimal locale where one is installed, else under the default one.
TEST(RealFieldTest, IgnoresTheProcessLocale)
{
    for (const char* name : {"de_DE.UTF-8", "de_DE", "fr_FR.UTF-8"})
        if (std::setlocale(LC_NUMERIC, name) != nullptr)
            break;
    EXPECT_DOUBLE_EQ(RealField("51.6416", {1, 7}), 51.6416);
    EXPECT_EQ(ReadDecimal("51,6416"), std::nullopt);
    std::setlocale(LC_NUMERIC, "C");
}

} // namespace

namespace {

// Fields read in place, blanks as zeros, give the bits of reading the field with its blanks made
// zeros: random texts of the characters element fields hold, and of a few they should not.
TEST(RealFieldTest, ReadsInPlaceWhatTheFieldWithZerosReads)
{
    const std::string_view alphabet = "  0123456789..--+eE x";
    std::mt19937 random(1859);
    for (int round = 0; round < 200000; ++round) {
        std::string field(random() % 18, ' ');
        for (char& c : field)
            c = alphabet[random() % alphabet.size()];
        const std::string line = "2 " + field;
        const TColumns columns{3, field.size()};
        const double inPlace = RealField(line, columns);
        const double withZeros = ReadDecimal(BlanksToZeros(field)).value_or(0.0);
        ASSERT_EQ(std::bit_cast<std::uint64_t>(inPlace), std::bit_cast<std::uint64_t>(withZeros))
            << "\"" << field << "\"";
    }
}

// The sum is taken eight characters at a time; it must count as the rule does, character by
// character, whatever the bytes and wherever the line ends.
TEST(ElementLineChecksumTest, CountsDigitsAndMinusSignsOfTheFirst68Columns)
{
    EXPECT_EQ(ElementLineChecksum("1 25544U 98067A   20348.69171878  .00000888  00000-0  24124-4 0  9995"), 5);
    std::mt19937 random(69);
    for (int round = 0; round < 20000; ++round) {
        std::string line(random() % 80, ' ');
        for (char& c : line)
            c = static_cast<char>(random() % 4 == 0 ? random() % 256 : "0123456789-+ ./E"[random() % 16]);
        int sum = 0;
        for (const char c : line.substr(0, 68))
            sum += c >= '0' && c <= '9' ? c - '0' : c == '-' ? 1 : 0;
        ASSERT_EQ(ElementLineChecksum(line), sum % 10) << line;
    }
}

} // namespace
