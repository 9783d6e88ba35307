// CelesTrak's rules kept in the store: the error budget shared by runs and processes, the last
// answer to each URL, and the sets the individual list was last given.

#include "download/sources/CelesTrakLedger.h"
#include "download/sources/KeptListSets.h"

#include "settings/RegistryVariables.h"
#include "tests/support/FakeClock.h"
#include "tests/support/StoreFixture.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <latch>
#include <string>
#include <thread>
#include <vector>

namespace elsetry::test {
namespace {

using namespace std::chrono_literals;
using TTime = TRunClock::TTime;
using TKind = TCelesTrakAnswer::TKind;

const TTime Now = FixedRunTime;

std::string MillisText(TTime Time)
{
    return std::to_string(std::chrono::duration_cast<std::chrono::milliseconds>(Time.time_since_epoch()).count());
}

// Count error times, the first From before Now and each later one a second after the one before.
std::string Errors(int Count, std::chrono::milliseconds From)
{
    std::string text;
    for (int i = 0; i < Count; ++i)
        text += (i ? "," : "") + MillisText(Now - From + i * 1s);
    return text;
}

std::size_t EntryCount(const std::string& Text)
{
    return Text.empty() ? 0 : static_cast<std::size_t>(std::count(Text.begin(), Text.end(), ',')) + 1;
}

class CelesTrakLedgerTest : public StoreTest {
protected:
    std::string LedgerKey() const { return ProgramKeyPath() + "\\CelesTrak"; }
    void Keep(const std::string& Key, const std::string& Name, const std::string& Text) const
    {
        const auto store = Store();
        store->OpenKey(Key, true);
        store->WriteString(Name, Text);
    }
    std::string StoredErrors() const { return StoredString(LedgerKey(), "ErrorAnswers"); }
};

struct TBudgetCase {
    const char* What;
    std::string Stored;
    bool Granted;
    TTime RoomAt;     // when refused
    std::size_t Kept; // error times stored afterwards
};

TEST_F(CelesTrakLedgerTest, BudgetGrantsUpToFiftyErrorAnswersInTwoHours)
{
    const TBudgetCase cases[] = {
        {"nothing counted yet", "", true, {}, 1},
        {"49 in the window", Errors(49, 100min), true, {}, 50},
        {"50 in the window", Errors(50, 100min), false, Now + 20min, 50},
        {"50, the oldest just out of the window", Errors(50, 120min), true, {}, 50},
        {"60 in the window: room when all but 49 have left", Errors(60, 110min), false, Now + 10min + 10s, 60},
        {"garbled entries are dropped", "x," + Errors(49, 100min) + ",,y", true, {}, 50},
        {"times far ahead were counted before the clock was set back", Errors(50, -24h), false, Now + 120min, 50},
    };
    for (const TBudgetCase& c : cases) {
        SCOPED_TRACE(c.What);
        Keep(LedgerKey(), "ErrorAnswers", c.Stored);
        TCelesTrakLedger ledger(StoreFile);
        const std::optional<TTime> room = ledger.Reserve(Now);
        EXPECT_EQ(!room.has_value(), c.Granted);
        if (room) {
            EXPECT_EQ(*room, c.RoomAt);
        }
        EXPECT_EQ(EntryCount(StoredErrors()), c.Kept);
        EXPECT_EQ(ledger.SpentUntil(Now).has_value(), c.Kept >= 50) << "the budget is full once a place is taken";
    }
}

TEST_F(CelesTrakLedgerTest, AnswerWithDataGivesItsPlaceBack)
{
    TCelesTrakLedger ledger(StoreFile);
    ASSERT_FALSE(ledger.Reserve(Now));
    ASSERT_FALSE(ledger.Reserve(Now + 1s));
    ledger.Succeeded(Now);
    EXPECT_EQ(StoredErrors(), MillisText(Now + 1s)) << "the second stays counted: it brought an error";
    ledger.Succeeded(Now + 5s);
    EXPECT_EQ(StoredErrors(), MillisText(Now + 1s)) << "a time never reserved changes nothing";
}

TEST_F(CelesTrakLedgerTest, SmallerBudgetAndWindowFromTheRules)
{
    TCelesTrakRules rules;
    rules.ErrorAnswers = 2;
    rules.ErrorWindow = 30min;
    TCelesTrakLedger ledger(StoreFile, rules);
    EXPECT_FALSE(ledger.Reserve(Now));
    EXPECT_FALSE(ledger.Reserve(Now + 1min));
    EXPECT_EQ(ledger.Reserve(Now + 2min), Now + 30min);
    EXPECT_FALSE(ledger.Reserve(Now + 30min));
    EXPECT_EQ(SpentBudgetText(rules, Now + 31min), "CelesTrak gave 2 error answers in 30 minutes, as many as it bears "
                                                   "before it blocks a client; it may be asked again at 10:43 UTC");
    EXPECT_EQ(SpentBudgetText({}, Now), "CelesTrak gave 50 error answers in 2 hours, as many as it bears before it "
                                        "blocks a client; it may be asked again at 10:12 UTC");
}

TEST_F(CelesTrakLedgerTest, TwoProcessesNeverTakeMoreThanTheBudget)
{
    constexpr int Workers = 4;
    std::atomic<int> granted{0};
    std::latch start(Workers);
    std::vector<std::thread> workers;
    for (int worker = 0; worker < Workers; ++worker)
        workers.emplace_back([&, worker] {
            TCelesTrakLedger ledger(StoreFile);
            start.arrive_and_wait();
            for (int request = 0; request < 20; ++request)
                if (!ledger.Reserve(Now + std::chrono::milliseconds(worker * 100 + request)))
                    ++granted;
        });
    for (std::thread& worker : workers)
        worker.join();
    EXPECT_EQ(granted.load(), 50);
    EXPECT_EQ(EntryCount(StoredErrors()), 50u);
}

TEST_F(CelesTrakLedgerTest, LastAnswersAreKeptByQuery)
{
    TCelesTrakLedger ledger(StoreFile);
    const std::string weather = "/NORAD/elements/gp.php?GROUP=weather&FORMAT=CSV";
    const std::string geo = "/NORAD/elements/gp.php?GROUP=geo&FORMAT=CSV";
    EXPECT_FALSE(ledger.LastAnswer(weather, Now));
    for (const TKind kind : {TKind::Data, TKind::Unchanged, TKind::NoData}) {
        ledger.RecordAnswer(weather, {kind, Now - 5min});
        const std::optional<TCelesTrakAnswer> last = ledger.LastAnswer(weather, Now);
        ASSERT_TRUE(last);
        EXPECT_EQ(last->Kind, kind);
        EXPECT_EQ(last->When, Now - 5min);
        EXPECT_FALSE(ledger.LastAnswer(geo, Now));
    }
}

TEST_F(CelesTrakLedgerTest, DoubtfulLastAnswers)
{
    const std::string url = "/NORAD/elements/gp.php?GROUP=weather&FORMAT=CSV";
    const std::string key = LedgerKey() + "\\Answers";
    const std::pair<const char*, std::string> unreadable[] = {
        {"no status", MillisText(Now)},
        {"a status never recorded", MillisText(Now) + ",500"},
        {"garbled", "soon,200"},
        {"empty", ""},
    };
    TCelesTrakLedger ledger(StoreFile);
    for (const auto& [what, text] : unreadable) {
        SCOPED_TRACE(what);
        Keep(key, url, text);
        EXPECT_FALSE(ledger.LastAnswer(url, Now));
    }

    Keep(key, url, MillisText(Now + 24h) + ",200");
    const std::optional<TCelesTrakAnswer> ahead = ledger.LastAnswer(url, Now);
    ASSERT_TRUE(ahead);
    EXPECT_EQ(ahead->When, Now) << "an answer after now was given before the clock was set back";
    EXPECT_EQ(StoredString(key, url), MillisText(Now) + ",200");
}

class KeptListSetsTest : public CelesTrakLedgerTest {
protected:
    static TKeptSet Set(int Number, TTime Fetched)
    {
        const std::string n = std::to_string(Number);
        return {{"SAT " + n, "1 " + n + "U line one", "2 " + n + " line two"}, Fetched};
    }
    std::string SetsKey() const { return LedgerKey() + "\\ListSets"; }
};

TEST_F(KeptListSetsTest, SetsLastTwoHoursFromTheirFetch)
{
    TKeptListSets kept(StoreFile);
    const TKeptSet row{{}, Now - 1min, "FAR,2026-001A,340001"};
    kept.Keep({{25544, Set(25544, Now - 119min)}, {25338, Set(25338, Now - 1min)}, {340001, row}}, Now);
    std::map<long, TKeptSet> fresh = kept.Fresh(Now);
    ASSERT_EQ(fresh.size(), 3u);
    EXPECT_EQ(fresh.at(25544).Lines, Set(25544, Now).Lines);
    EXPECT_EQ(fresh.at(25544).Fetched, Now - 119min);
    EXPECT_EQ(fresh.at(340001).CsvRow, row.CsvRow) << "an object past element lines keeps its CSV row";
    EXPECT_EQ(fresh.at(340001).Lines, row.Lines);

    fresh = kept.Fresh(Now + 1min);
    EXPECT_EQ(fresh.count(25544), 0u);
    EXPECT_EQ(fresh.count(25338), 1u);

    kept.Keep({{28654, Set(28654, Now + 1min)}}, Now + 1min);
    EXPECT_EQ(StoredString(SetsKey(), "25544"), "<missing>") << "expired sets are let go";
    EXPECT_NE(StoredString(SetsKey(), "25338"), "<missing>");
    EXPECT_EQ(kept.Fresh(Now + 1min).size(), 3u);
}

TEST_F(KeptListSetsTest, DoubtfulSetsAreNotUsed)
{
    const std::pair<const char*, std::string> cases[] = {
        {"three fields", MillisText(Now) + "\tSAT\t1 line"},
        {"an empty row", MillisText(Now) + "\t"},
        {"garbled time", "soon\tSAT\t1\t2"},
        {"fetched after now", MillisText(Now + 1h) + "\tSAT\t1\t2"},
    };
    TKeptListSets kept(StoreFile);
    for (const auto& [what, text] : cases) {
        SCOPED_TRACE(what);
        Keep(SetsKey(), "25544", text);
        EXPECT_TRUE(kept.Fresh(Now).empty());
    }
    Keep(SetsKey(), "not a number", MillisText(Now) + "\tSAT\t1\t2");
    EXPECT_TRUE(kept.Fresh(Now).empty());

    TKeptSet tabbed = Set(25338, Now);
    tabbed.Lines[0] = "NAME\tWITH TAB";
    kept.Keep({{25338, tabbed}}, Now);
    EXPECT_EQ(StoredString(SetsKey(), "25338"), "<missing>");
}

} // namespace
} // namespace elsetry::test
