// CelesTrak's gp.php as a run uses it: the group queries, the error answers it reads, and CSV
// answers made into element sets.

#include "download/sources/CelesTrakQueries.h"

#include "download/sources/RunStops.h"
#include "download/sources/SpaceTrackGroups.h"
#include "tests/download/DownloadSupport.h"
#include "tools/catalogue-service/OmmFields.h"

#include <gtest/gtest.h>

#include <set>

namespace elsetry::test {
namespace {

TEST(CelesTrakQueries, EveryGroupHasItsQuery)
{
    const std::pair<const char*, const char*> expected[] = {
        {"Full Satellite Catalog", "GROUP=active"}, {"Amateur", "GROUP=amateur"},  {"Geosynchronous", "GROUP=geo"},
        {"Globstar", "GROUP=globalstar"},           {"Inmarsat", "NAME=INMARSAT"}, {"Intelsat", "GROUP=intelsat"},
        {"Iridium", "GROUP=iridium-NEXT"},          {"Navigation", "GROUP=gnss"},  {"Orbcomm", "GROUP=orbcomm"},
        {"Special Interest", "GROUP=last-30-days"}, {"Weather", "GROUP=weather"},  {"Visible", "GROUP=visual"},
    };
    for (std::size_t row = 0; row < GroupCount; ++row) {
        EXPECT_EQ(SpaceTrackGroups[row].Name, expected[row].first);
        EXPECT_EQ(SpaceTrackGroups[row].CelesTrakQuery, expected[row].second);
    }
    EXPECT_EQ(GpUrl("https://celestrak.org", "GROUP=weather"),
              "https://celestrak.org/NORAD/elements/gp.php?GROUP=weather&FORMAT=CSV");
    EXPECT_EQ(GpTarget("NAME=INMARSAT"), "/NORAD/elements/gp.php?NAME=INMARSAT&FORMAT=CSV");
    EXPECT_EQ(GpUrl("https://celestrak.org", CatalogueNumberQuery(25544)),
              "https://celestrak.org/NORAD/elements/gp.php?CATNR=25544&FORMAT=CSV");
}

TEST(CelesTrakQueries, ErrorAnswersAreToldApart)
{
    struct TCase {
        const char* Body;
        bool NotUpdated;
        bool NoData;
    };
    const TCase cases[] = {
        {"GP data has not updated since your last successful download of GROUP=weather at 2026-12-08 10:12:00 UTC.",
         true, false},
        {"gp data HAS NOT UPDATED since your last successful download", true, false},
        {"GP data has not updated since your last successful\r\ndownload of GROUP=weather at 2026-09-20 10:12:00 "
         "UTC.\r\nData is updated once every 2 hours.\r\n",
         true, false},
        {"GP data has not updated since\n  your  last\tsuccessful \r\n\r\n download", true, false},
        {"has not updated since your last successfuldownload", false, false},
        {"No GP data found", false, true},
        {"  No GP data found\r\n", false, true},
        {"Forbidden", false, false},
        {"<html>No GP data found</html>", false, false},
        {"", false, false},
    };
    for (const TCase& c : cases) {
        EXPECT_EQ(SaysNotUpdated(c.Body), c.NotUpdated) << c.Body;
        EXPECT_EQ(SaysNoData(c.Body), c.NoData) << c.Body;
    }
}

std::string CsvOf(const TLines& Lines)
{
    std::vector<TOmmRecord> records;
    for (std::size_t first = 0; first + 2 < Lines.size(); first += 3)
        records.push_back(service::OmmRecordOf(Lines[first], Lines[first + 1], Lines[first + 2]));
    return service::OmmCsv(records);
}

TEST(CelesTrakQueries, CsvAnswersBecomeTheSetsTheServiceHolds)
{
    const TLines sets = LetterFormCatalogue();
    const TCsvElementSets answer = CsvElementSets(CsvOf(sets));
    ASSERT_EQ(answer.Sets.size(), sets.size() / 3);
    for (std::size_t index = 0; index < answer.Sets.size(); ++index) {
        EXPECT_EQ(answer.Sets[index][1], CelesTrakForm(sets[index * 3 + 1]));
        EXPECT_EQ(answer.Sets[index][2], sets[index * 3 + 2]);
    }
    EXPECT_EQ(answer.Numbers[14], 148493);
    EXPECT_EQ(answer.PastLargest, 0);
}

TEST(CelesTrakQueries, ObjectsPastTheLetterFormAreCountedAndLeftOut)
{
    const TLines sets = Catalogue(2);
    TOmmRecord analyst = service::OmmRecordOf(sets[0], sets[1], sets[2]);
    analyst.NoradCatId = "800000123";
    TOmmRecord edge = analyst;
    edge.NoradCatId = "340000";
    const std::string csv = CsvOf(sets) + service::OmmCsvRow(analyst) + service::OmmCsvRow(edge);
    const TCsvElementSets answer = CsvElementSets(csv);
    EXPECT_EQ(answer.Sets.size(), 2u);
    EXPECT_EQ(answer.PastLargest, 2);
}

TEST(CelesTrakQueries, RowsThatDoNotReadFailTheWholeAnswer)
{
    const TLines sets = Catalogue(3);
    TOmmRecord bad = service::OmmRecordOf(sets[3], sets[4], sets[5]);
    bad.MeanMotion = "fast";
    const std::string cases[] = {
        CsvOf(sets) + service::OmmCsvRow(bad),
        CsvOf(sets) + "ISS (ZARYA),1998-067A\r\n",
        "<html><body>Maintenance</body></html>\r\n",
    };
    for (const std::string& csv : cases)
        EXPECT_THROW(CsvElementSets(csv), EGroupFailed) << csv;
}

} // namespace
} // namespace elsetry::test
