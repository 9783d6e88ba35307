// The usage ledger: Space-Track's limits of 30 requests a minute and 300 an hour, counted in the
// settings store so that runs and processes share one count.

#include "download/sources/UsageLedger.h"

#include "settings/RegistryVariables.h"
#include "tests/support/FakeClock.h"
#include "tests/support/StoreFixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <latch>
#include <string>
#include <thread>
#include <vector>

namespace elsetry::test {
namespace {

using namespace std::chrono_literals;
using TKind = TAdmission::TKind;
using TTime = TRunClock::TTime;

const TTime Now = FixedRunTime;

std::int64_t MillisOf(TTime Time)
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(Time.time_since_epoch()).count();
}

// Count request times, the first From before Now and each later one Step after the one before,
// as the store keeps them.
std::string Times(int Count, std::chrono::milliseconds From, std::chrono::milliseconds Step = 0ms)
{
    std::string text;
    for (int i = 0; i < Count; ++i)
        text += (i ? "," : "") + std::to_string(MillisOf(Now - From + i * Step));
    return text;
}

std::string Joined(const std::string& A, const std::string& B)
{
    return A.empty() || B.empty() ? A + B : A + "," + B;
}

std::size_t EntryCount(const std::string& Text)
{
    return Text.empty() ? 0 : static_cast<std::size_t>(std::count(Text.begin(), Text.end(), ',')) + 1;
}

class UsageLedgerTest : public StoreTest {
protected:
    std::string UsageKey() const { return ProgramKeyPath() + "\\Usage"; }
    void Keep(const std::string& Name, const std::string& Text) const
    {
        const auto store = Store();
        store->OpenKey(UsageKey(), true);
        store->WriteString(Name, Text);
    }
    std::string Requests() const { return StoredString(UsageKey(), "SpaceTrackRequests"); }
};

// The limits over a minute and an hour exactly, for the arithmetic of the windows.
TUsageRules ExactWindows()
{
    TUsageRules rules;
    rules.MinuteWindow = 60s;
    rules.HourWindow = 3600s;
    return rules;
}

struct TLimitCase {
    const char* What;
    std::string Stored;
    TKind Kind;
    std::chrono::milliseconds Wait;
    const char* Limit;
    std::size_t Kept; // entries stored afterwards
};

TEST_F(UsageLedgerTest, LimitsAdmitWaitOrRefuse)
{
    const TLimitCase cases[] = {
        {"nothing counted yet", "", TKind::Now, 0ms, "", 1},
        {"29 in the minute", Times(29, 50s, 1s), TKind::Now, 0ms, "", 30},
        {"30 in the minute", Times(30, 50s, 1s), TKind::AfterWait, 10s, "30 requests a minute", 30},
        {"30, the first one 1 ms short of leaving", Times(30, 59999ms), TKind::AfterWait, 1ms, "30 requests a minute",
         30},
        {"30, the first one leaving now", Times(1, 60s) + "," + Times(29, 30s), TKind::Now, 0ms, "", 31},
        {"30 at once", Times(30, 0ms), TKind::Refused, 60s, "30 requests a minute", 30},
        {"299 in the hour", Times(299, 3590s, 10s), TKind::Now, 0ms, "", 300},
        {"300 in the hour", Times(300, 3590s, 10s), TKind::AfterWait, 10s, "300 requests an hour", 300},
        {"300 in the hour, the first 10 min ago", Times(300, 600s, 2s), TKind::Refused, 3000s, "300 requests an hour",
         300},
        {"both full, the hour's wait longer", Joined(Times(270, 3580s, 1s), Times(30, 50s, 1s)), TKind::AfterWait, 20s,
         "300 requests an hour", 300},
        {"both full, the minute's wait longer", Joined(Times(270, 3590s, 1s), Times(30, 40s, 1s)), TKind::AfterWait,
         20s, "30 requests a minute", 300},
        {"hours old", Times(500, 7200s, 7200ms), TKind::Now, 0ms, "", 1},
        {"an hour old exactly", Times(300, 3600s), TKind::Now, 0ms, "", 1},
        {"out of order", Times(10, 20s, 1s) + "," + Times(20, 55s, 1s), TKind::AfterWait, 5s, "30 requests a minute",
         30},
    };
    for (const TLimitCase& c : cases) {
        SCOPED_TRACE(c.What);
        Keep("SpaceTrackRequests", c.Stored);
        const TAdmission admission = TUsageLedger(StoreFile, ExactWindows()).Admit(Now);
        EXPECT_EQ(admission.Kind, c.Kind);
        EXPECT_EQ(admission.Wait, c.Wait);
        EXPECT_EQ(admission.Limit, c.Limit);
        const std::string stored = Requests();
        EXPECT_EQ(EntryCount(stored), c.Kept);
        if (c.Kind == TKind::Now) {
            EXPECT_TRUE(stored.ends_with(std::to_string(MillisOf(Now)))) << stored;
        }
    }
}

TEST_F(UsageLedgerTest, LimitTextsFollowTheRules)
{
    TUsageRules rules = ExactWindows();
    rules.PerMinute = 1;
    rules.PerHour = 2;
    TUsageLedger ledger(StoreFile, rules);
    EXPECT_EQ(ledger.Admit(Now).Kind, TKind::Now);
    EXPECT_EQ(ledger.Admit(Now + 1s).Limit, "1 request a minute");
    EXPECT_EQ(ledger.Admit(Now + 60s).Kind, TKind::Now);
    const TAdmission third = ledger.Admit(Now + 120s);
    EXPECT_EQ(third.Limit, "2 requests an hour");
    EXPECT_EQ(third.Wait, 3480s);
    EXPECT_EQ(third.Kind, TKind::Refused);
}

// A long run paced by the ledger alone: every request waits as long as it is told and leaves a
// varying while after it was admitted, as a connection takes its time. The count goes by the time
// each left, so the service never sees more than the limits allow in any minute or hour, with
// the windows' margin to spare, nor is a request held back longer than they need.
TEST_F(UsageLedgerTest, PacedRunKeepsEverySlidingWindowWithinTheLimits)
{
    TUsageRules rules;
    rules.LongestWait = 2h; // wait out the hour's limit too, to see its pacing
    TUsageLedger ledger(StoreFile, rules);
    TFakeClock clock(Now);
    std::vector<TTime> sent;
    for (int request = 0; request < 400; ++request) {
        TTime admitted = clock.Now();
        for (TAdmission admission = ledger.Admit(admitted); admission.Kind != TKind::Now;
             admission = ledger.Admit(admitted)) {
            ASSERT_EQ(admission.Kind, TKind::AfterWait);
            ASSERT_GT(admission.Wait, 0ms);
            clock.Wait(admission.Wait);
            admitted = clock.Now();
        }
        // The first requests of each minute leave late, the last ones at once.
        clock.Advance(std::chrono::milliseconds(request % 30 < 15 ? 1900 : 0));
        sent.push_back(clock.Now());
        ledger.Sent(admitted, sent.back());
        clock.Advance(std::chrono::milliseconds(150 + 37 * (request % 7))); // the answer's own time
    }
    for (std::size_t i = 0; i < sent.size(); ++i) {
        const auto inWindow = [&](std::chrono::milliseconds Window) {
            return std::lower_bound(sent.begin(), sent.end(), sent[i] + Window)
                   - (sent.begin() + static_cast<std::ptrdiff_t>(i));
        };
        ASSERT_LE(inWindow(62s), 30) << "from request " << i;
        ASSERT_LE(inWindow(3620s), 300) << "from request " << i;
    }
    EXPECT_EQ(sent[30], sent[0] + 62s + 1900ms) << "the 31st is admitted as the first leaves the window";
    EXPECT_GE(sent[300], sent[0] + 3620s);
    EXPECT_LT(sent[300], sent[0] + 3620s + 2s);
    EXPECT_LT(sent.back(), sent[0] + 3620s + 5min);
}

// Counted when admitted, a request that left late would let 31 reach the service within a minute.
TEST_F(UsageLedgerTest, CountGoesByTheTimeARequestLeft)
{
    TUsageLedger ledger(StoreFile);
    ASSERT_EQ(ledger.Admit(Now).Kind, TKind::Now);
    ledger.Sent(Now, Now + 1900ms);
    EXPECT_EQ(Requests(), std::to_string(MillisOf(Now + 1900ms)));
    ledger.Sent(Now - 1h, Now + 2s); // a count no longer kept is made again
    EXPECT_EQ(EntryCount(Requests()), 2u);
    EXPECT_EQ(ledger.RoomInHour(Now + 3s), 298);
}

TEST_F(UsageLedgerTest, HoldKeepsEveryRequestBackUntilItsTime)
{
    TUsageLedger ledger(StoreFile);
    ledger.HoldUntil(Now + 10min);
    for (const auto& [at, kind] : {std::pair{Now, TKind::Held}, std::pair{Now + 9min, TKind::Held},
                                   std::pair{Now + 10min, TKind::Now}}) {
        const TAdmission admission = ledger.Admit(at);
        EXPECT_EQ(admission.Kind, kind);
        if (kind == TKind::Held) {
            EXPECT_EQ(at + admission.Wait, Now + 10min);
        }
    }
    ledger.HoldUntil(Now + 48h); // kept before the clock was set back
    EXPECT_EQ(ledger.Admit(Now).Kind, TKind::Now);
}

TEST_F(UsageLedgerTest, GarbledTimesNeitherCrashNorBlock)
{
    const std::string far = std::to_string(MillisOf(Now + std::chrono::hours(24 * 365)));
    const std::string soon = std::to_string(MillisOf(Now + 500ms));
    const std::pair<std::string, std::size_t> cases[] = {
        {"abc,,12x, ,-,+5,1e9,99999999999999999999999", 1},
        {",,,", 1},
        {"  " + std::to_string(MillisOf(Now - 5s)) + " ,junk", 2},
        {std::string("\x01\xff", 2), 1},
        {soon, 2},
    };
    for (const auto& [stored, kept] : cases) {
        SCOPED_TRACE(stored);
        Keep("SpaceTrackRequests", stored);
        EXPECT_EQ(TUsageLedger(StoreFile).Admit(Now).Kind, TKind::Now);
        EXPECT_EQ(EntryCount(Requests()), kept) << Requests();
    }
    EXPECT_NE(Requests().find(soon), std::string::npos) << "a time just ahead is another process's count";

    // Counted before the clock was set back a year: taken as made now, so they leave in a minute.
    std::string ahead = far;
    for (int i = 1; i < 30; ++i)
        ahead += "," + far;
    Keep("SpaceTrackRequests", ahead);
    TUsageLedger ledger(StoreFile);
    const TAdmission held = ledger.Admit(Now);
    EXPECT_EQ(held.Kind, TKind::Refused);
    EXPECT_EQ(held.Wait, 62s);
    EXPECT_EQ(Requests(), Times(30, 0ms));
    EXPECT_EQ(ledger.Admit(Now + 62s).Kind, TKind::Now);
}

TEST_F(UsageLedgerTest, ValueOfAnotherKindIsReplaced)
{
    const auto store = Store();
    store->OpenKey(UsageKey(), true);
    store->WriteInteger("SpaceTrackRequests", 7);
    EXPECT_EQ(TUsageLedger(StoreFile).Admit(Now).Kind, TKind::Now);
    EXPECT_EQ(Requests(), std::to_string(MillisOf(Now)));
}

TEST_F(UsageLedgerTest, FullCatalogueTimeIsKeptAndSettledAfterAClockChange)
{
    TUsageLedger ledger(StoreFile);
    EXPECT_FALSE(ledger.LastFullCatalogue());
    ledger.RecordFullCatalogue(Now - 10min);
    EXPECT_EQ(ledger.LastFullCatalogue(), Now - 10min);
    EXPECT_EQ(StoredString(UsageKey(), "SpaceTrackFullCatalogue"), std::to_string(MillisOf(Now - 10min)));
    ledger.Admit(Now);
    EXPECT_EQ(ledger.LastFullCatalogue(), Now - 10min);

    for (const char* garbled : {"yesterday", "", "99999999999999999", "-99999999999999999"}) {
        Keep("SpaceTrackFullCatalogue", garbled);
        EXPECT_FALSE(ledger.LastFullCatalogue()) << garbled;
    }

    ledger.RecordFullCatalogue(Now + std::chrono::hours(24 * 365));
    ledger.Admit(Now);
    EXPECT_EQ(ledger.LastFullCatalogue(), Now);
}

TEST_F(UsageLedgerTest, StoreFailuresRaise)
{
    TUsageLedger ledger(Folder.Path); // a folder, not a store file
    EXPECT_THROW(ledger.Admit(Now), ESettingsError);
    EXPECT_THROW(ledger.RecordFullCatalogue(Now), ESettingsError);
}

// Two processes with one store: each thread has its own ledger and connections, as a process
// would, and they ask at the same moment; the minute's 30 places are taken once each.
TEST_F(UsageLedgerTest, TwoLedgersOnOneStoreShareTheLimit)
{
    Store(); // the file exists before both start
    constexpr int Ledgers = 2;
    std::latch start(Ledgers);
    std::vector<int> admitted(Ledgers, 0);
    std::vector<std::thread> threads;
    for (int i = 0; i < Ledgers; ++i)
        threads.emplace_back([&, i] {
            TUsageLedger ledger(StoreFile);
            start.arrive_and_wait();
            while (ledger.Admit(Now).Kind == TKind::Now)
                ++admitted[static_cast<std::size_t>(i)];
        });
    for (std::thread& thread : threads)
        thread.join();
    EXPECT_EQ(admitted[0] + admitted[1], 30);
    EXPECT_EQ(Requests(), Times(30, 0ms));
}

} // namespace
} // namespace elsetry::test
