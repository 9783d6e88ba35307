#include "text/Numbers.h"

#include <gtest/gtest.h>

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

} // namespace
