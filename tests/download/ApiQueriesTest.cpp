// The query API's paths, escaping, batching and answer reading, without a service.

#include "download/sources/ApiQueries.h"
#include "download/sources/RunStops.h"
#include "tests/support/TestElementSets.h"
#include "tools/catalogue-service/OmmFields.h"
#include "tools/catalogue/CatalogueOmm.h"

#include <gtest/gtest.h>

#include <numeric>
#include <string>
#include <vector>

namespace elsetry::test {
namespace {

const std::string Line1Text = "1 25544U 98067A   24005.50000000  .00016717  00000-0  10270-3 0  9990";
const std::string Line2Text = "2 25544  51.6416 247.4627 0006703 130.5360 325.0288 15.50000000123450";

std::string SetOf(const std::string& Name, const std::string& Number)
{
    std::string one = Line1Text;
    std::string two = Line2Text;
    one.replace(2, 5, Number);
    two.replace(2, 5, Number);
    return Name + "\n" + one + "\n" + two + "\n";
}

TEST(ApiQueries, PathsAreEscapedWhereAUrlNeedsItAndReadableOtherwise)
{
    struct TCase {
        const char* Path;
        const char* Escaped;
    };
    const TCase cases[] = {
        {"/x/epoch/>now-30", "/x/epoch/%3Enow-30"},
        {"ECCENTRICITY/<0.01", "ECCENTRICITY/%3C0.01"},
        {"orderby/norad_cat_id asc", "orderby/norad_cat_id%20asc"},
        {"NORAD_CAT_ID/25544,148493", "NORAD_CAT_ID/25544%2C148493"},
        {"MEAN_MOTION/0.99--1.01/OBJECT_NAME/~~ORBCOMM", "MEAN_MOTION/0.99--1.01/OBJECT_NAME/~~ORBCOMM"},
        {"a?b#c%d\"e", "a%3Fb%23c%25d%22e"},
    };
    for (const TCase& c : cases)
        EXPECT_EQ(EscapedPath(c.Path), c.Escaped) << c.Path;
    EXPECT_EQ(GpQueryPath("decay_date/null-val"),
              "/basicspacedata/query/class/gp/decay_date/null-val/orderby/norad_cat_id asc/format/3le");
    EXPECT_EQ(GpQueryPath("x", TOmmKind::Csv), "/basicspacedata/query/class/gp/x/orderby/norad_cat_id asc/format/csv");
    EXPECT_EQ(GpQueryPath("x", TOmmKind::Json),
              "/basicspacedata/query/class/gp/x/orderby/norad_cat_id asc/format/json");
}

TEST(ApiQueries, NumbersGoInAsFewQueriesAsTwoHundredANumberAllow)
{
    struct TCase {
        long Count;
        std::vector<std::size_t> Sizes;
    };
    const TCase cases[] = {{0, {}}, {1, {1}}, {200, {200}}, {201, {200, 1}}, {450, {200, 200, 50}}};
    for (const TCase& c : cases) {
        std::vector<long> numbers(static_cast<std::size_t>(c.Count));
        std::iota(numbers.begin(), numbers.end(), 100000L);
        const std::vector<std::string> filters = NumberListFilters(numbers);
        ASSERT_EQ(filters.size(), c.Sizes.size()) << c.Count;
        long next = 100000;
        for (std::size_t index = 0; index < filters.size(); ++index) {
            ASSERT_TRUE(filters[index].starts_with("NORAD_CAT_ID/" + std::to_string(next)));
            EXPECT_EQ(static_cast<std::size_t>(std::count(filters[index].begin(), filters[index].end(), ',')) + 1,
                      c.Sizes[index]);
            next += static_cast<long>(c.Sizes[index]);
        }
    }
}

TEST(ApiQueries, ThreeLineAnswersBecomePlainElementFiles)
{
    const std::string body = "0 ISS (ZARYA)\r\n" + Line1Text + "\r\n" + Line2Text + "\r\n" + "0 0 GRAVITY\n"
                             + SetOf("", "25545").substr(1);
    const std::vector<std::string> lines = ThreeLineElementLines(body);
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_EQ(lines[0], "ISS (ZARYA)");
    EXPECT_EQ(lines[1], Line1Text);
    // Only the marker goes: a name that itself begins with "0 " keeps the rest.
    EXPECT_EQ(lines[3], "0 GRAVITY");
    EXPECT_TRUE(ThreeLineElementLines("").empty());
    EXPECT_TRUE(ThreeLineElementLines("\r\n").empty());
}

// The same sets asked for as OMM give the 3le answer's lines; an object past what element lines
// hold stays in the text only, and several answers make one text of their kind.
TEST(ApiQueries, OmmAnswersGiveTheLinesOf3leAndJoinAsOneText)
{
    const std::vector<std::string> lines{"ISS (ZARYA)", WithChecksum(Line1Text), WithChecksum(Line2Text)};
    const TOmmRecord iss = service::OmmRecordOf(lines[0], lines[1], lines[2]);
    TOmmRecord far = iss;
    far.NoradCatId = "800000123";
    const std::string csv = service::OmmCsv({iss, far});
    const std::string one = CatalogueAsOmmJson(lines);
    std::string other = one;
    other.replace(other.find("25544"), 5, "800000123");
    const std::string json = one.substr(0, one.rfind(']')) + "," + other.substr(other.find('[') + 1);
    EXPECT_EQ(OmmAnswerLines(csv, TOmmKind::Csv), lines);
    EXPECT_EQ(OmmAnswerLines(json, TOmmKind::Json), lines);
    EXPECT_TRUE(OmmAnswerLines("", TOmmKind::Csv).empty());
    EXPECT_TRUE(OmmAnswerLines(std::string(service::OmmCsvHeader) + "\r\n", TOmmKind::Csv).empty());
    EXPECT_TRUE(OmmAnswerLines("[]", TOmmKind::Json).empty());

    struct TCase {
        TOmmKind Kind;
        std::vector<std::string> Answers;
        std::string Text;
    };
    const std::string header = std::string(service::OmmCsvHeader) + "\r\n";
    const std::string row = service::OmmCsvRow(iss);
    const TCase cases[] = {
        {TOmmKind::Csv, {csv}, csv},
        {TOmmKind::Csv, {header + row, header, header + row}, header + row + row},
        {TOmmKind::Csv, {"", header + row}, header + row},
        {TOmmKind::Json, {"[{\"A\":1}]", "[]", " [ {\"A\":2} ]\n"}, "[{\"A\":1},{\"A\":2}]"},
        {TOmmKind::Json, {"[]", "[{\"A\":2}]"}, "[{\"A\":2}]"},
    };
    for (const TCase& c : cases) {
        std::string text;
        for (std::string answer : c.Answers)
            AppendOmmAnswer(text, std::move(answer), c.Kind);
        EXPECT_EQ(text, c.Text);
    }
}

TEST(ApiQueries, AnswersThatAreNotElementSetsFailTheGroupWithTheirReason)
{
    struct TCase {
        std::string Body;
        std::string Reason;
        TOmmKind Kind = TOmmKind::None; // asked for as 3le, or as OMM
    };
    const TCase cases[] = {
        {"{\"error\":\"You must be logged in\"}", "an error answer: {\"error\":\"You must be logged in\"}"},
        {"{\"error\":\"You must be logged in\"}", "an error answer: {\"error\":\"You must be logged in\"}",
         TOmmKind::Csv},
        {"  [{\"error\":\"Query failed\"}]", "an error answer: [{\"error\":\"Query failed\"}]", TOmmKind::Json},
        {"<!DOCTYPE html><html>login</html>", "an HTML page, not element sets", TOmmKind::Json},
        {"OBJECT_NAME,NORAD_CAT_ID\r\nISS,25544\r\n", "not element sets: the header does not name EPOCH",
         TOmmKind::Csv},
        {"[{\"OBJECT_NAME\":\"ISS\"}]", "not element sets: object 0: EPOCH is missing", TOmmKind::Json},
        {"  [{\"error\":\"Query failed\"}]", "an error answer: [{\"error\":\"Query failed\"}]"},
        {"<!DOCTYPE html><html>login</html>", "an HTML page, not element sets"},
        // Lines that fall into no sets name their first fault, by its line in the answer.
        {"0 ISS\n" + Line1Text + "\n", "damaged answer: line 2 has a wrong checksum"},
        {"0 ISS\r\n\r\n" + WithChecksum(Line1Text) + "\r\n" + WithChecksum(Line2Text).substr(0, 40) + "\r\n",
         "damaged answer: line 4 is cut short"},
        {Line1Text + "\n" + Line2Text + "\n" + Line1Text + "\n",
         "damaged answer: line 1 is an element line where a name line belongs"},
        {"0 A\n" + Line2Text + "\n" + Line1Text + "\n", "damaged answer: line 2 is not line 1 of a set"},
    };
    for (const TCase& c : cases) {
        try {
            if (c.Kind == TOmmKind::None)
                ThreeLineElementLines(c.Body);
            else
                OmmAnswerLines(c.Body, c.Kind);
            ADD_FAILURE() << "accepted: " << c.Body;
        } catch (const EGroupFailed& Failure) {
            EXPECT_EQ(Failure.what(), c.Reason);
        }
    }
    const std::string longError = "{\"error\":\"" + std::string(200, 'x') + "\x1b\"}";
    try {
        ThreeLineElementLines(longError);
        ADD_FAILURE();
    } catch (const EGroupFailed& Failure) {
        EXPECT_LT(std::string(Failure.what()).size(), 110u);
        EXPECT_EQ(std::string(Failure.what()).find('\x1b'), std::string::npos);
    }
}

TEST(ApiQueries, RateLimitAnswersAreKnownInBothForms)
{
    EXPECT_TRUE(IsRateLimitAnswer("You've violated your query rate limit. Please refer to our Acceptable Use Policy."));
    EXPECT_TRUE(IsRateLimitAnswer("[{\"error\":\"You've Violated Your Query Rate Limit...\"}]"));
    EXPECT_FALSE(IsRateLimitAnswer("[{\"error\":\"Query failed\"}]"));
    EXPECT_FALSE(IsRateLimitAnswer(std::string(5000, ' ') + "violated your query rate limit"));
}

TEST(ApiQueries, SeveralAnswersMergeIntoOneSetPerNumberInNumberOrder)
{
    const std::vector<std::string> first = ThreeLineElementLines(SetOf("0 ORBCOMM FM5", "25117") + SetOf("0 ORBCOMM FM9", "A0001"));
    const std::vector<std::string> second = ThreeLineElementLines(SetOf("0 VESSELSAT 1", "25117") + SetOf("0 VESSELSAT 2", "00900"));
    const std::vector<std::string> merged = MergedSetLines({first, second});
    ASSERT_EQ(merged.size(), 9u);
    EXPECT_EQ(merged[0], "VESSELSAT 2");
    EXPECT_EQ(merged[3], "ORBCOMM FM5");
    EXPECT_EQ(merged[6], "ORBCOMM FM9");
}

} // namespace
} // namespace elsetry::test
