#include "text/Numbers.h"

#include <gtest/gtest.h>

#include <bit>
#include <charconv>
#include <cstdint>
#include <random>

using namespace elsetry;

namespace {

TEST(NumbersTest, ReadIntegerTakesTheWholeTextOrNothing)
{
    const std::pair<std::string_view, std::optional<int>> cases[] = {
        {"0", 0},
        {"-0", 0},
        {"+5", 5},
        {"007", 7},
        {"2147483647", 2147483647},
        {"-2147483648", -2147483647 - 1},
        {"2147483648", std::nullopt}, // does not fit
        {"-2147483649", std::nullopt},
        {"99999999999", std::nullopt},
        {"", std::nullopt},
        {"+", std::nullopt},
        {"-", std::nullopt},
        {"+-5", std::nullopt}, // one sign only
        {"++5", std::nullopt},
        {" 5", std::nullopt},
        {"5 ", std::nullopt},
        {"5\n", std::nullopt},
        {"1e3", std::nullopt},
        {"0x10", std::nullopt},
        {"\xd9\xa3", std::nullopt}, // a digit of another script
    };
    for (const auto& [text, value] : cases)
        EXPECT_EQ(ReadInteger(text), value) << text;
}

TEST(NumbersTest, ReadDecimalTakesTheWholeTextOrNothing)
{
    const std::pair<std::string_view, std::optional<double>> cases[] = {
        {"+1.5", 1.5},
        {".5", 0.5},
        {"-.5", -0.5},
        {"+.5", 0.5},
        {"1.", 1.0},
        {"1.5e3", 1500.0},
        {"1.5E-3", 0.0015},
        {"", std::nullopt},
        {"+", std::nullopt},
        {".", std::nullopt},
        {"+-1", std::nullopt},
        {"inf", std::nullopt},
        {"nan", std::nullopt},
        {"1e999", std::nullopt},  // out of range
        {"1e-999", std::nullopt}, // so is this
        {"1,5", std::nullopt},
        {" 1", std::nullopt},
        {"1 ", std::nullopt},
        {"0x1p3", std::nullopt},
        {"1e", std::nullopt},
    };
    for (const auto& [text, value] : cases)
        EXPECT_EQ(ReadDecimal(text), value) << text;
}

// What ReadDecimal gives by its rules, through from_chars alone: a "+" before a digit or point is
// dropped, the text must begin (after a "-") with a digit or a point, and be read whole.
std::optional<double> FromCharsDecimal(std::string_view Text)
{
    if (Text.size() > 1 && Text.front() == '+' && Text[1] != '+' && Text[1] != '-')
        Text.remove_prefix(1);
    const std::size_t first = !Text.empty() && Text.front() == '-' ? 1 : 0;
    if (first >= Text.size() || !((Text[first] >= '0' && Text[first] <= '9') || Text[first] == '.'))
        return std::nullopt;
    double value = 0.0;
    const auto [end, error] = std::from_chars(Text.data(), Text.data() + Text.size(), value);
    if (error != std::errc() || end != Text.data() + Text.size())
        return std::nullopt;
    return value;
}

// The same value to the bit: -0 is not 0.
::testing::AssertionResult SameDecimal(std::string_view Text)
{
    const std::optional<double> read = ReadDecimal(Text);
    const std::optional<double> expected = FromCharsDecimal(Text);
    if (read.has_value() != expected.has_value())
        return ::testing::AssertionFailure() << "\"" << Text << "\" reads " << (read ? "" : "not ") << "as a number";
    if (read && std::bit_cast<std::uint64_t>(*read) != std::bit_cast<std::uint64_t>(*expected))
        return ::testing::AssertionFailure()
               << "\"" << Text << "\" reads " << std::hexfloat << *read << " instead of " << *expected;
    return ::testing::AssertionSuccess();
}

TEST(NumbersTest, ReadDecimalGivesTheBitsOfFromChars)
{
    const std::string_view cases[] = {
        "0", "-0", "+0", "0.0", "-0.0", "-.0", ".0", "0.", "-0.", "00000000000000", "-000000000000000",
        "0000000000000000", "-.00000000000000", "1", "-1", "0.1", "0.2", "0.3", "-.3", "1.1", "2.675", "14.23600000",
        "-.00003271", "15.72125391", "08264.51782528", "26190.12345678", "99365.99999999", "123456789012345",
        "999999999999999", "-999999999999999", "9999999999999999", ".999999999999999", ".9999999999999999",
        "1234567890.12345", "1234567890.123456", ".000000000000001", ".0000000000000001", "4503599627370497",
        "9007199254740993", "9007199254740992.5", ".123456789012345678", "0.1000000000000000055511151231257827",
        "1.7976931348623157", "5e-324", "1.5e3", "1e-5", "359.9999", "-359.99990000", "1.2.3", "1..2", "..1",
        "1-", "-", "--1", "-+1", "+", ".", "", " 1", "1 ", "1e", "e1", "0x10", "\xd9\xa3",
    };
    for (const std::string_view text : cases)
        EXPECT_TRUE(SameDecimal(text));
}

// Fields as element lines write them, and longer ones: signs, a leading point, leading zeros,
// up to twenty digits on either side of the point.
TEST(NumbersTest, ReadDecimalGivesTheBitsOfFromCharsForRandomFields)
{
    std::mt19937 random(4711);
    const auto digits = [&](std::size_t count, bool leadingZeros) {
        std::string text;
        for (std::size_t i = 0; i < count; ++i)
            text += static_cast<char>('0' + (leadingZeros && i < count / 2 ? 0 : random() % 10));
        return text;
    };
    for (int round = 0; round < 200000; ++round) {
        std::string text;
        switch (random() % 6) {
        case 0: text += '-'; break;
        case 1: text += '+'; break;
        default: break;
        }
        // Mostly up to 15 digits in all, where the quick way applies; sometimes more.
        const std::size_t most = random() % 4 == 0 ? 21 : 16;
        const std::size_t whole = random() % most;
        const std::size_t fraction = random() % (most - whole);
        text += digits(whole, random() % 3 == 0);
        if (fraction > 0 || random() % 4 != 0)
            text += '.';
        text += digits(fraction, random() % 3 == 0);
        ASSERT_TRUE(SameDecimal(text));
    }
}

} // namespace
