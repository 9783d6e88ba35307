// The membership of CelesTrak's groups: reading its CSV answer, and keeping it for two hours, or
// for as long as CelesTrak cannot answer.

#include "download/sources/RunStops.h"
#include "download/sources/GroupMembership.h"

#include "settings/RegistryVariables.h"
#include "tests/support/FakeClock.h"
#include "tests/support/StoreFixture.h"
#include "tests/support/TempFolder.h"
#include "tools/catalogue-service/CatalogueService.h"
#include "tools/catalogue-service/GpQuery.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace elsetry::test {
namespace {

using namespace std::chrono_literals;
using TNumbers = std::vector<long>;
using TTime = TRunClock::TTime;

struct TCsvCase {
    const char* What;
    std::string Csv;
    std::optional<TNumbers> Numbers; // nothing: not a membership list
};

TEST(CsvCatalogueNumbers, ReadsTheCatalogueNumberColumn)
{
    const std::string header = "OBJECT_NAME,EPOCH,NORAD_CAT_ID\r\n";
    const TCsvCase cases[] = {
        {"as CelesTrak writes it",
         header + "NOAA 15,2024-01-05T12:00:00,25338\r\nNOAA 18,2024-01-05T11:00:00,28654\r\n", TNumbers{25338, 28654}},
        {"a comma and doubled quotes in a name",
         header + "\"METOP-C, \"\"SPARE\"\"\",2024-01-04T06:00:00,43689\r\n\"A,B\",x,25338\r\n",
         TNumbers{43689, 25338}},
        {"a line break in a quoted name", header + "\"TWO\r\nLINES\",x,25544\r\n", TNumbers{25544}},
        {"LF line ends, none at the end", "OBJECT_NAME,EPOCH,NORAD_CAT_ID\nA,x,5\nB,y,7", TNumbers{5, 7}},
        {"column first, other letter case", "norad_cat_id,OBJECT_NAME\r\n25544,ISS\r\n", TNumbers{25544}},
        {"column in the middle", "OBJECT_NAME,Norad_Cat_Id,EPOCH\r\nISS,25544,x\r\n", TNumbers{25544}},
        {"quoted number", header + "ISS,x,\"25544\"\r\n", TNumbers{25544}},
        {"nine-digit analyst number", header + "OBJECT,x,270000001\r\nLAST,x,999999999\r\n",
         TNumbers{270000001, 999999999}},
        {"blank line between rows", header + "A,x,5\r\n\r\nB,y,7\r\n", TNumbers{5, 7}},
        {"byte order mark", "\xEF\xBB\xBFNORAD_CAT_ID\r\n5\r\n", TNumbers{5}},
        {"empty answer", "", TNumbers{}},
        {"header only", header, TNumbers{}},
        {"header only, no line end", "OBJECT_NAME,NORAD_CAT_ID", TNumbers{}},
        {"no such column", "OBJECT_NAME,EPOCH,OBJECT_ID\r\nISS,x,1998-067A\r\n", std::nullopt},
        {"no such column, no rows", "OBJECT_NAME,EPOCH\r\n", std::nullopt},
        {"a page instead", "<html><body>Not found.</body></html>\n", std::nullopt},
        {"letter form", header + "ISS,x,E8493\r\n", std::nullopt},
        {"zero", header + "ISS,x,0\r\n", std::nullopt},
        {"negative", header + "ISS,x,-5\r\n", std::nullopt},
        {"plus sign", header + "ISS,x,+5\r\n", std::nullopt},
        {"ten digits", header + "ISS,x,1000000000\r\n", std::nullopt},
        {"decimal", header + "ISS,x,25544.0\r\n", std::nullopt},
        {"empty number", header + "ISS,x,\r\n", std::nullopt},
        {"row too short", header + "ISS,x\r\n", std::nullopt},
        {"quote left open", header + "\"ISS,x,25544\r\n", std::nullopt},
        {"text after a closing quote", header + "\"ISS\"X,x,25544\r\n", std::nullopt},
    };
    for (const TCsvCase& c : cases) {
        SCOPED_TRACE(c.What);
        if (c.Numbers) {
            EXPECT_EQ(CsvCatalogueNumbers(c.Csv), *c.Numbers);
        } else {
            try {
                CsvCatalogueNumbers(c.Csv);
                ADD_FAILURE() << "read as a membership list";
            } catch (const EGroupFailed& Error) {
                EXPECT_STREQ(Error.what(), "not a membership list");
            }
        }
    }
}

const TTime Start = FixedRunTime;
constexpr int WeatherFile = 8; // the stand-in's file for CelesTrak's "weather"

std::string MillisText(TTime Time)
{
    return std::to_string(std::chrono::duration_cast<std::chrono::milliseconds>(Time.time_since_epoch()).count());
}

class GroupMembershipTest : public StoreTest {
protected:
    GroupMembershipTest() : Service(Options()), Address(Service.Address())
    {
        Channel.SetNotes([this](const std::string& Line) { Notes.push_back(Line); });
    }
    void SetUp() override
    {
        StoreTest::SetUp();
        Membership.emplace(Clock, StoreFile);
    }

    service::TServiceOptions Options() const
    {
        service::WriteDemoGroups(Data.Path, 300);
        service::TServiceOptions options;
        options.DataFolder = Data.Path;
        options.CelesTrakGroups = true;
        return options;
    }

    TNumbers Numbers(const std::string& Group) { return Membership->Numbers(Channel, Address, Group); }
    // The address's host and port, as a failure names it.
    std::string Host() const { return Address.substr(Address.find("://") + 3); }

    // The reason Numbers fails with; empty when it does not.
    std::string Failure(const std::string& Group)
    {
        try {
            Numbers(Group);
        } catch (const EGroupFailed& Error) {
            return Error.what();
        }
        return {};
    }

    TNumbers Expected(int File) const
    {
        TNumbers numbers;
        for (const auto& set : service::GroupSets(Data.Path, File))
            numbers.push_back(service::GpRecordOf(set[0], set[1], set[2]).NoradCatId);
        return numbers;
    }

    int MembershipRequests() const
    {
        int count = 0;
        for (const service::TRecordedRequest& request : Service.Requests())
            count += request.Target.starts_with("/NORAD/elements/gp.php") ? 1 : 0;
        return count;
    }

    // Where a service listened a moment ago: connections are refused there.
    void StopService()
    {
        TTempFolder empty;
        service::TServiceOptions options;
        options.DataFolder = empty.Path;
        Address = service::TCatalogueService(options).Address();
    }

    std::string GroupsKey() const { return ProgramKeyPath() + "\\CelesTrakGroups"; }
    void Keep(const std::string& Group, const std::string& List, const std::string& Read) const
    {
        const auto store = Store();
        store->OpenKey(GroupsKey(), true);
        store->WriteString(Group, List);
        store->WriteString(Group + "Read", Read);
    }

    TTempFolder Data;
    service::TCatalogueService Service;
    std::string Address;
    TFakeClock Clock{Start};
    std::optional<TGroupMembership> Membership;
    THttpClient Http;
    TKepTempFile TempFile{Folder.Path};
    TRunDeadline Deadline;
    TRunChannel Channel{Http, TempFile, Deadline, 10000};
    std::vector<std::string> Notes;
};

TEST_F(GroupMembershipTest, ReadOnceThenKeptForTwoHours)
{
    const TNumbers weather = Expected(WeatherFile);
    ASSERT_FALSE(weather.empty());
    EXPECT_EQ(Numbers("weather"), weather);
    ASSERT_EQ(MembershipRequests(), 1);
    EXPECT_EQ(Service.Requests().back().Target, "/NORAD/elements/gp.php?GROUP=weather&FORMAT=csv");
    EXPECT_EQ(StoredString(GroupsKey(), "weatherRead"), MillisText(Start));
    std::string list;
    for (const long number : weather)
        list += (list.empty() ? "" : ",") + std::to_string(number);
    EXPECT_EQ(StoredString(GroupsKey(), "weather"), list);

    Clock.Advance(2h - 1ms);
    EXPECT_EQ(Numbers("weather"), weather);
    EXPECT_EQ(MembershipRequests(), 1);

    Clock.Advance(1ms);
    EXPECT_EQ(Numbers("weather"), weather);
    EXPECT_EQ(MembershipRequests(), 2);
    EXPECT_EQ(StoredString(GroupsKey(), "weatherRead"), MillisText(Start + 2h));
    EXPECT_TRUE(Notes.empty());
}

TEST_F(GroupMembershipTest, ServiceDownUsesTheKeptListAndSaysSo)
{
    const TNumbers weather = Numbers("weather");
    StopService();
    Clock.Advance(3h);
    EXPECT_EQ(Numbers("weather"), weather);
    ASSERT_EQ(Notes.size(), 1u);
    EXPECT_TRUE(Notes[0].starts_with("   Membership of weather from CelesTrak unavailable (")) << Notes[0];
    EXPECT_TRUE(Notes[0].ends_with("), using the one read 2026-12-08 10:12 UTC")) << Notes[0];
    EXPECT_EQ(StoredString(GroupsKey(), "weatherRead"), MillisText(Start));
}

TEST_F(GroupMembershipTest, ServiceDownWithNothingKeptFails)
{
    StopService();
    EXPECT_TRUE(Failure("weather").starts_with("membership unavailable from " + Host() + ": ")) << Failure("weather");
    EXPECT_TRUE(Notes.empty());
}

TEST_F(GroupMembershipTest, UnknownGroupFallsBackToAnyKeptList)
{
    EXPECT_EQ(Failure("stations"), "membership unavailable from " + Host() + ": HTTP 404");
    Keep("stations", "25544,48274", MillisText(Start - 24h));
    EXPECT_EQ(Numbers("stations"), (TNumbers{25544, 48274}));
    ASSERT_EQ(Notes.size(), 1u);
    EXPECT_EQ(
        Notes[0],
        "   Membership of stations from CelesTrak unavailable (HTTP 404), using the one read 2026-12-07 10:12 UTC");
    EXPECT_EQ(MembershipRequests(), 2);
}

TEST_F(GroupMembershipTest, AnswerWithoutMembersNeverReplacesTheKeptList)
{
    std::filesystem::remove(Data.Path + "/" + std::to_string(WeatherFile) + ".txt");
    EXPECT_EQ(Failure("weather"), "membership unavailable from " + Host() + ": no members");
    EXPECT_EQ(StoredString(GroupsKey(), "weather"), "<missing>");

    Keep("weather", "25338,28654", MillisText(Start - 3h));
    EXPECT_EQ(Numbers("weather"), (TNumbers{25338, 28654}));
    ASSERT_EQ(Notes.size(), 1u);
    EXPECT_EQ(
        Notes[0],
        "   Membership of weather from CelesTrak unavailable (no members), using the one read 2026-12-08 07:12 UTC");
    EXPECT_EQ(StoredString(GroupsKey(), "weather"), "25338,28654");
    EXPECT_EQ(StoredString(GroupsKey(), "weatherRead"), MillisText(Start - 3h));
}

TEST_F(GroupMembershipTest, DoubtfulKeptListsAreReadAgain)
{
    const std::pair<const char*, std::pair<std::string, std::string>> cases[] = {
        {"read after now: the clock was set back", {"25338,28654", MillisText(Start + 24h)}},
        {"no read time", {"25338,28654", ""}},
        {"garbled read time", {"25338,28654", "soon"}},
        {"read time past what the clock holds", {"25338,28654", "-99999999999999999"}},
        {"nothing in the list", {"", MillisText(Start - 1min)}},
        {"garbled list", {"x,,y", MillisText(Start - 1min)}},
    };
    const TNumbers weather = Expected(WeatherFile);
    int requests = 0;
    for (const auto& [what, kept] : cases) {
        SCOPED_TRACE(what);
        Keep("weather", kept.first, kept.second);
        EXPECT_EQ(Numbers("weather"), weather);
        EXPECT_EQ(MembershipRequests(), ++requests);
        EXPECT_EQ(StoredString(GroupsKey(), "weatherRead"), MillisText(Start));
    }
    EXPECT_TRUE(Notes.empty());
}

TEST_F(GroupMembershipTest, FreshListSkipsUnreadableEntries)
{
    Keep("weather", "25338, x ,28654,", MillisText(Start - 1min));
    EXPECT_EQ(Numbers("weather"), (TNumbers{25338, 28654}));
    EXPECT_EQ(MembershipRequests(), 0);
}

TEST_F(GroupMembershipTest, RequestsCountInCelesTraksErrorBudget)
{
    const std::string ledgerKey = ProgramKeyPath() + "\\CelesTrak";
    EXPECT_EQ(Failure("stations"), "membership unavailable from " + Host() + ": HTTP 404");
    EXPECT_EQ(StoredString(ledgerKey, "ErrorAnswers"), MillisText(Start)) << "the 404 is an error answer";
    Numbers("weather");
    EXPECT_EQ(StoredString(ledgerKey, "ErrorAnswers"), MillisText(Start)) << "an answer with members is none";

    std::string spent;
    for (int error = 0; error < 50; ++error)
        spent += (error ? "," : "") + MillisText(Start - 1h + error * 1s);
    const auto store = Store();
    store->OpenKey(ledgerKey, true);
    store->WriteString("ErrorAnswers", spent);
    Keep("weather", "25338,28654", MillisText(Start - 3h));
    const int sent = MembershipRequests();
    EXPECT_EQ(Numbers("weather"), (TNumbers{25338, 28654}));
    EXPECT_EQ(MembershipRequests(), sent) << "not sent while the budget is spent";
    ASSERT_EQ(Notes.size(), 1u);
    EXPECT_EQ(Notes[0], "   Membership of weather from CelesTrak unavailable (CelesTrak gave 50 error answers in 2 "
                        "hours, as many as it bears before it blocks a client; it may be asked again at 11:12 UTC), "
                        "using the one read 2026-12-08 07:12 UTC");
}

} // namespace
} // namespace elsetry::test
