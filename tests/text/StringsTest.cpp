#include "text/Strings.h"

#include <gtest/gtest.h>

using namespace elsetry;

namespace {

TEST(StringsTest, UpperCaseTouchesOnlyAsciiLettersAndTrimDropsControls)
{
    EXPECT_EQ(UpperCase("iss (zarya) \xe9"), "ISS (ZARYA) \xe9");
    EXPECT_EQ(Trim("\t  NOAA 15 \r\x01"), "NOAA 15");
    EXPECT_EQ(Trim(" \t "), "");
}

} // namespace
