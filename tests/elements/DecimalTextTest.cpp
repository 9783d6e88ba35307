#include "elements/DecimalText.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

using namespace elsetry;

namespace {

TEST(DecimalTextTest, ReadsTheFormsServicesWrite)
{
    struct TCase {
        const char* Text;
        bool Negative;
        const char* Digits;
        int Exponent;
    };
    const TCase cases[] = {
        {"15.49181153", false, "1549181153", -8},
        {".1845686", false, "1845686", -7},           // CelesTrak's CSV drops the leading zero
        {"-.22483E-4", true, "22483", -9},
        {"-1.6E-7", true, "16", -8},
        {"2.64e-6", false, "264", -8},
        {"0.00025830000000", false, "2583", -7},      // Space-Track's fourteen decimals
        {"0.0000000000000", false, "", 0},
        {"-0", false, "", 0},                          // zero is never negative
        {"+7", false, "7", 0},
        {"5.", false, "5", 0},
        {"1200", false, "12", 2},
        {"1e+3", false, "1", 3},
    };
    for (const TCase& c : cases) {
        const std::optional<TDecimal> number = ReadDecimalText(c.Text);
        ASSERT_TRUE(number) << c.Text;
        EXPECT_EQ(number->Negative, c.Negative) << c.Text;
        EXPECT_EQ(number->Digits, c.Digits) << c.Text;
        EXPECT_EQ(number->Exponent, c.Exponent) << c.Text;
    }
}

TEST(DecimalTextTest, RefusesWhatIsNotOneNumber)
{
    for (const char* text : {"", ".", "-", "+.", "1.2.3", "1e", "1e-", "e5", "1,5", " 1", "1 ", "0x10", "1e12345", "nan",
                             "1..2", "--1"})
        EXPECT_FALSE(ReadDecimalText(text)) << text;
}

TEST(DecimalTextTest, RoundsToPlacesHalfAwayFromZeroOnTheDigitsWritten)
{
    struct TCase {
        const char* Text;
        int Places;
        bool Negative;
        const char* Whole;
        const char* Fraction;
    };
    const TCase cases[] = {
        {"51.64445", 4, false, "51", "6445"},     // the nearest double is 51.644449999..., printf gives 6444
        {"0.123456785", 8, false, "", "12345679"}, // likewise below the tie as a double
        {"-0.000000005", 8, true, "", "00000001"},
        {"-0.000000004", 8, false, "", "00000000"}, // rounds to zero: no sign
        {"359.99995", 4, false, "360", "0000"},     // the carry runs into the whole digits
        {"9.9999999999", 8, false, "10", "00000000"},
        {"0.00000005", 7, false, "", "0000001"},
        {"0.0000000499", 7, false, "", "0000000"},
        {"0.000000000001", 4, false, "", "0000"}, // far below the last place
        {"0", 4, false, "", "0000"},
        {"1.6E-7", 8, false, "", "00000016"},
        {"12E3", 2, false, "12000", "00"},
        {"99999999999999999999.5", 0, false, "100000000000000000000", ""},
    };
    for (const TCase& c : cases) {
        const std::optional<TFixedDigits> fixed = RoundedToPlaces(*ReadDecimalText(c.Text), c.Places);
        ASSERT_TRUE(fixed) << c.Text;
        EXPECT_EQ(fixed->Negative, c.Negative) << c.Text;
        EXPECT_EQ(fixed->Whole(), c.Whole) << c.Text;
        EXPECT_EQ(fixed->Fraction(), c.Fraction) << c.Text;
    }
}

TEST(DecimalTextTest, GivesNoRoundingOfMoreDigitsThanItHolds)
{
    EXPECT_FALSE(RoundedToPlaces(*ReadDecimalText("1e30"), 0));
    EXPECT_FALSE(RoundedToPlaces(*ReadDecimalText("999999999999999999999999.5"), 0)); // the carry adds one
    EXPECT_FALSE(RoundedToPlaces(*ReadDecimalText("1"), 24));
    EXPECT_TRUE(RoundedToPlaces(*ReadDecimalText("1e-300"), 8));
}

TEST(DecimalTextTest, RoundsToSignificantDigitsWithTheirPower)
{
    struct TCase {
        const char* Text;
        const char* Mantissa;
        int Power;
    };
    const TCase cases[] = {
        {"0.00010270", "10270", -3},  {"0.000011606", "11606", -4}, {"0.000123455", "12346", -3},
        {"0.000123454999", "12345", -3}, {"0.0000999995", "10000", -3}, // 0.99999|5e-4 carries to 0.1e-3
        {"1.5", "15000", 1},          {"0.5", "50000", 0},          {"0.0045376", "45376", -2},
        {"0", "", 0},
    };
    for (const TCase& c : cases) {
        const TScientificDigits digits = RoundedToSignificant(*ReadDecimalText(c.Text), 5);
        EXPECT_EQ(digits.Mantissa.Text(), c.Mantissa) << c.Text;
        if (*c.Mantissa) {
            EXPECT_EQ(digits.Power, c.Power) << c.Text;
        }
    }
}

TEST(DecimalTextTest, GivesWholeValuesOnly)
{
    EXPECT_EQ(WholeValue(*ReadDecimalText("25544")), 25544);
    EXPECT_EQ(WholeValue(*ReadDecimalText("25544.0")), 25544);
    EXPECT_EQ(WholeValue(*ReadDecimalText("2.5544E4")), 25544);
    EXPECT_EQ(WholeValue(*ReadDecimalText("0")), 0);
    EXPECT_EQ(WholeValue(*ReadDecimalText("-3")), -3);
    EXPECT_EQ(WholeValue(*ReadDecimalText("999999999")), 999999999);
    EXPECT_FALSE(WholeValue(*ReadDecimalText("1000000000")));
    EXPECT_FALSE(WholeValue(*ReadDecimalText("1.5")));
    EXPECT_FALSE(WholeValue(*ReadDecimalText("1e40")));
}

// A view keeps the digits as written around the point; rounding it gives what rounding the
// number read into its significant digits gives.
TEST(DecimalTextTest, RoundsAViewAsTheNumberItViews)
{
    std::mt19937 random(1957);
    const auto digits = [&random](std::size_t Count) {
        std::string text;
        for (std::size_t i = 0; i < Count; ++i)
            text += static_cast<char>(random() % 3 == 0 ? (random() % 2 != 0 ? '0' : '9') : '0' + random() % 10);
        return text;
    };
    for (int round = 0; round < 50000; ++round) {
        std::string text = (random() % 4 == 0 ? "-" : "") + digits(random() % 6);
        if (random() % 4 != 0)
            text += "." + digits(random() % 14);
        if (random() % 3 == 0)
            text += "e" + std::to_string(static_cast<int>(random() % 24) - 12);
        const std::optional<TDecimalView> view = ReadDecimalView(text);
        const std::optional<TDecimal> number = ReadDecimalText(text);
        ASSERT_EQ(view.has_value(), number.has_value()) << text;
        if (!number)
            continue;
        for (const int places : {0, 4, 7, 8}) {
            const std::optional<TFixedDigits> fromView = RoundedToPlaces(*view, places);
            const std::optional<TFixedDigits> fromNumber = RoundedToPlaces(*number, places);
            ASSERT_EQ(fromView.has_value(), fromNumber.has_value()) << text;
            if (fromView) {
                ASSERT_EQ(fromView->Negative, fromNumber->Negative) << text;
                ASSERT_EQ(fromView->Digits.Text(), fromNumber->Digits.Text()) << text;
            }
        }
        const TScientificDigits significant = RoundedToSignificant(*view, 5);
        ASSERT_EQ(significant.Mantissa.Text(), RoundedToSignificant(*number, 5).Mantissa.Text()) << text;
        ASSERT_EQ(significant.Power, RoundedToSignificant(*number, 5).Power) << text;
        ASSERT_EQ(WholeValue(*view), WholeValue(*number)) << text;
    }
}

} // namespace
