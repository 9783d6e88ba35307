// The run deadline: its setting's text, and the time limits it leaves the requests of a run.

#include "download/sources/RunDeadline.h"

#include <gtest/gtest.h>

#include <utility>

namespace elsetry::test {
namespace {

TEST(RunDeadline, SettingIsAWholeNumberOfMinutesOrTheDefault)
{
    const std::pair<const char*, int> cases[] = {
        {"30", 30}, {"1", 1},   {"10080", 10080}, {"+45", 45}, {"", 30},   {"0", 30},
        {"-5", 30}, {"10081", 30}, {"2.5", 30},   {"ten", 30}, {" 5", 30}, {"99999999999", 30},
    };
    for (const auto& [text, minutes] : cases)
        EXPECT_EQ(RunDeadlineFrom(text), std::chrono::minutes(minutes)) << text;
}

TEST(RunDeadline, RequestsAreGivenWhatIsLeftButTheFloorAndNeverNothing)
{
    const TRunDeadline none;
    EXPECT_FALSE(none.Passed());
    EXPECT_EQ(none.RequestLimitMs(600000), 600000);

    const TRunDeadline far(std::chrono::hours(1));
    EXPECT_FALSE(far.Passed());
    EXPECT_EQ(far.RequestLimitMs(600000), 600000);
    EXPECT_GT(far.RequestLimitMs(7200000), 3500000);
    EXPECT_LE(far.RequestLimitMs(7200000), 3600100);

    const TRunDeadline passed(std::chrono::milliseconds(-1000));
    EXPECT_TRUE(passed.Passed());
    EXPECT_EQ(passed.RequestLimitMs(600000), 1) << "0 would mean no limit to libcurl";
    EXPECT_EQ(passed.RequestLimitMs(600000, std::chrono::milliseconds(15000)), 15000);
    EXPECT_EQ(passed.RequestLimitMs(1000, std::chrono::milliseconds(15000)), 1000);
}

} // namespace
} // namespace elsetry::test
