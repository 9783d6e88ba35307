#include "text/Lines.h"

#include <gtest/gtest.h>

using namespace elsetry;

namespace {

using TLines = std::vector<std::string>;

TEST(LinesTest, SplitLinesAtAnyLineEndAndSplitAtLineFeedsAtLfAlone)
{
    struct TCase {
        std::string_view Text;
        TLines AnyEnd;
        TLines LineFeeds;
    };
    const TCase cases[] = {
        {"", {}, {}},
        {"a", {"a"}, {"a"}},
        {"a\n", {"a"}, {"a"}},
        {"a\r\n", {"a"}, {"a"}},
        {"a\r", {"a"}, {"a"}},
        {"\n", {""}, {""}},
        {"\n\n", {"", ""}, {"", ""}},
        {"a\n\nb", {"a", "", "b"}, {"a", "", "b"}},
        {"\r\n\r\n", {"", ""}, {"", ""}},
        {"\n\r", {"", ""}, {"", ""}},
        {"a\rb", {"a", "b"}, {"a\rb"}},
        {"a\r\r\n", {"a", ""}, {"a\r"}},
        {"a\r\rb\n", {"a", "", "b"}, {"a\r\rb"}},
        {"25544\r\n7530\r33591\n", {"25544", "7530", "33591"}, {"25544", "7530\r33591"}},
        {"\xe9t\xe9\r\n\xff", {"\xe9t\xe9", "\xff"}, {"\xe9t\xe9", "\xff"}},
    };
    for (const TCase& c : cases) {
        EXPECT_EQ(LineCopies(SplitLines(c.Text)), c.AnyEnd) << c.Text;
        EXPECT_EQ(LineCopies(SplitAtLineFeeds(c.Text)), c.LineFeeds) << c.Text;
        EXPECT_EQ(LineCount(c.Text), c.AnyEnd.size()) << c.Text;
    }
}

} // namespace
