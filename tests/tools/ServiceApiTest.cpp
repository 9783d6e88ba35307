// The stand-in service's query API: the gp predicate grammar, and the login, session, query,
// rate-limit and logout exchanges as a client sees them.

#include "platform/HttpClient.h"
#include "tests/support/TempFolder.h"
#include "tools/catalogue-service/CatalogueService.h"
#include "tools/catalogue-service/CelesTrakGroups.h"
#include "tools/catalogue-service/GpQuery.h"
#include "tools/catalogue-service/OmmFields.h"

#include <gtest/gtest.h>

#include <chrono>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace elsetry::test {
namespace {

using service::EGpQueryError;
using service::GpAnswer;
using service::GpRecordOf;
using service::GpSelect;
using service::ParseGpQuery;
using service::TGpRecord;

struct TSetText {
    const char* Name;
    const char* Number; // five columns, digits or the letter form
    const char* Epoch;  // YYDDD.DDDDDDDD
    const char* Eccentricity;
    const char* MeanMotion; // eleven columns
};

constexpr TSetText SetTexts[] = {
    {"ISS (ZARYA)", "25544", "24005.50000000", "0006703", "15.50000000"},
    {"COSMOS 2251 DEB", "34454", "24004.00000000", "0100000", "14.10000000"},
    {"SL-16 R/B", "22566", "23300.00000000", "0020000", "14.20000000"},
    {"INTELSAT 901", "26824", "24003.25000000", "0002000", " 1.00270000"},
    {"STARLINK-9999", "E8493", "24006.00000000", "0001000", "15.30000000"},
};

std::string Line1(const TSetText& Set)
{
    return std::string("1 ") + Set.Number + "U 98067A   " + Set.Epoch + "  .00016717  00000-0  10270-3 0  9990";
}

std::string Line2(const TSetText& Set)
{
    return std::string("2 ") + Set.Number + "  51.6416 247.4627 " + Set.Eccentricity + " 130.5360 325.0288 "
           + Set.MeanMotion + "123450";
}

std::vector<TGpRecord> Records()
{
    std::vector<TGpRecord> records;
    for (const TSetText& set : SetTexts)
        records.push_back(GpRecordOf(set.Name, Line1(set), Line2(set)));
    return records;
}

std::string GroupFile()
{
    std::string text;
    for (const TSetText& set : SetTexts)
        text += std::string(set.Name) + "\r\n" + Line1(set) + "\r\n" + Line2(set) + "\r\n";
    return text;
}

// 2024-01-10 00:00 in days since 1970.
const double Now = static_cast<double>(
    std::chrono::sys_days(std::chrono::year(2024) / 1 / 10).time_since_epoch().count());

std::string Selected(const std::string& Path)
{
    std::string numbers;
    for (const TGpRecord& record : GpSelect(ParseGpQuery(Path), Records(), Now))
        numbers += (numbers.empty() ? "" : ",") + std::to_string(record.NoradCatId);
    return numbers;
}

TEST(GpQuery, RecordsComeFromTheElementLines)
{
    const std::vector<TGpRecord> records = Records();
    EXPECT_EQ(records[0].ObjectName, "ISS (ZARYA)");
    EXPECT_EQ(records[0].NoradCatId, 25544);
    EXPECT_EQ(records[0].Epoch, "2024-01-05T12:00:00.000000");
    EXPECT_DOUBLE_EQ(records[0].MeanMotion, 15.5);
    EXPECT_DOUBLE_EQ(records[0].Eccentricity, 0.0006703);
    EXPECT_EQ(records[0].ObjectType, "PAYLOAD");
    EXPECT_FALSE(records[0].DecayDate.has_value());
    EXPECT_EQ(records[1].ObjectType, "DEBRIS");
    EXPECT_EQ(records[2].ObjectType, "ROCKET BODY");
    EXPECT_EQ(records[2].Epoch, "2023-10-27T00:00:00.000000");
    EXPECT_EQ(records[4].NoradCatId, 148493);
}

TEST(GpQuery, PredicatesSelectAndOrder)
{
    const std::pair<const char*, const char*> cases[] = {
        {"", "22566,25544,26824,34454,148493"},
        {"/", "22566,25544,26824,34454,148493"},
        {"/NORAD_CAT_ID/25544", "25544"},
        {"/norad_cat_id/25544", "25544"},
        {"/NORAD_CAT_ID/148493", "148493"},
        {"/NORAD_CAT_ID/E8493", "148493"},
        {"/NORAD_CAT_ID/148493,25544,7530", "25544,148493"},
        {"/NORAD_CAT_ID/148493%2C25544%2c7530", "25544,148493"},
        {"/NORAD_CAT_ID/>30000", "34454,148493"},
        {"/NORAD_CAT_ID/%3E30000", "34454,148493"},
        {"/NORAD_CAT_ID/<25544", "22566"},
        {"/NORAD_CAT_ID/%3C25544", "22566"},
        {"/NORAD_CAT_ID/25544--34454", "25544,26824,34454"},
        {"/MEAN_MOTION/0.99--1.01/ECCENTRICITY/<0.01/OBJECT_TYPE/payload/decay_date/null-val", "26824"},
        {"/MEAN_MOTION/0.99--1.01/ECCENTRICITY/%3C0.01/OBJECT_TYPE/PAYLOAD/DECAY_DATE/NULL-VAL", "26824"},
        {"/OBJECT_NAME/~~intelsat/OBJECT_TYPE/payload", "26824"},
        {"/OBJECT_NAME/%7E%7EisS", "25544"},
        {"/OBJECT_NAME/~~r%2Fb", "22566"},
        {"/OBJECT_NAME/~~iridium", ""},
        {"/OBJECT_TYPE/DEBRIS", "34454"},
        {"/OBJECT_TYPE/rocket%20body", "22566"},
        {"/OBJECT_TYPE/rocket body", "22566"},
        {"/EPOCH/>now-5", "25544,148493"},
        {"/EPOCH/%3Enow-5", "25544,148493"},
        {"/EPOCH/<now-300", ""},
        {"/EPOCH/2024-01-03--2024-01-05", "26824,34454"},
        {"/EPOCH/>2024-01-05T06:00:00", "25544,148493"},
        {"/DECAY_DATE/null-val/EPOCH/>now-30/orderby/norad_cat_id asc/format/3le", "25544,26824,34454,148493"},
        {"/decay_date/null-val/epoch/%3Enow-30/orderby/norad_cat_id%20asc/format/3le", "25544,26824,34454,148493"},
        {"/orderby/norad_cat_id desc", "148493,34454,26824,25544,22566"},
        {"/orderby/norad_cat_id%20desc", "148493,34454,26824,25544,22566"},
        {"/orderby/EPOCH desc", "148493,25544,34454,26824,22566"},
        {"/OBJECT_TYPE/PAYLOAD/orderby/DECAY_DATE desc", "25544,26824,148493"},
        {"/OBJECT_TYPE/PAYLOAD/orderby/OBJECT_TYPE", "25544,26824,148493"},
        {"/orderby/object_name", "34454,26824,25544,22566,148493"},
    };
    for (const auto& [path, expected] : cases) {
        SCOPED_TRACE(path);
        EXPECT_EQ(Selected(path), expected);
    }
}

TEST(GpQuery, UnreadablePathsAreRefused)
{
    const char* const paths[] = {
        "/NORAD_CAT_ID",           "/COLOUR/red",         "/NORAD_CAT_ID/>abc", "/EPOCH/>yesterday",
        "/orderby/epoch sideways", "/orderby/colour asc", "/format/xml",        "/EPOCH/2024-13-01",
    };
    for (const char* path : paths) {
        SCOPED_TRACE(path);
        EXPECT_THROW(Selected(path), EGpQueryError);
    }
}

TEST(GpQuery, FormatsDefaultToJson)
{
    EXPECT_EQ(ParseGpQuery("/NORAD_CAT_ID/25544").Format, "json");
    EXPECT_EQ(ParseGpQuery("/format/3le").Format, "3le");
    const std::vector<TGpRecord> iss{Records()[0]};
    EXPECT_EQ(GpAnswer(ParseGpQuery("/format/3le"), iss),
              "0 ISS (ZARYA)\r\n" + Line1(SetTexts[0]) + "\r\n" + Line2(SetTexts[0]) + "\r\n");
    EXPECT_EQ(GpAnswer(ParseGpQuery("/format/tle"), iss), Line1(SetTexts[0]) + "\r\n" + Line2(SetTexts[0]) + "\r\n");
    EXPECT_EQ(GpAnswer(ParseGpQuery("/format/csv"), iss),
              service::OmmCsv({service::OmmRecordOf("ISS (ZARYA)", Line1(SetTexts[0]), Line2(SetTexts[0]))}));
    EXPECT_EQ(GpAnswer(ParseGpQuery(""), {}), "[]");
    const std::string json = GpAnswer(ParseGpQuery(""), iss);
    for (const std::string& field : std::vector<std::string>{
             "\"OBJECT_NAME\":\"ISS (ZARYA)\"", "\"NORAD_CAT_ID\":\"25544\"",
             "\"EPOCH\":\"2024-01-05T12:00:00.000000\"", "\"MEAN_MOTION\":\"15.50000000\"",
             "\"ECCENTRICITY\":\"0.0006703\"", "\"OBJECT_TYPE\":\"PAYLOAD\"", "\"DECAY_DATE\":null",
             "\"INCLINATION\":\"51.6416\"", "\"OBJECT_ID\":\"1998-067A\"", "\"PERIOD\":\"92.903\"",
             "{\"CCSDS_OMM_VERS\":\"3.0\",\"COMMENT\":\"GENERATED VIA SPACE-TRACK.ORG API\",",
             "\"TLE_LINE1\":\"" + Line1(SetTexts[0]) + "\"", "\"TLE_LINE2\":\"" + Line2(SetTexts[0]) + "\""})
        EXPECT_NE(json.find(field), std::string::npos) << field;
    EXPECT_EQ(json.front(), '[');
    EXPECT_EQ(json.back(), ']');
}

TEST(CelesTrakGroups, NamesStandForGroupFiles)
{
    const std::pair<const char*, std::optional<int>> cases[] = {
        {"active", 2},        {"amateur", 20},
        {"geo", 4},           {"globalstar", 14},
        {"intelsat", 16},     {"iridium-NEXT", 10},
        {"iridium-next", 10}, {"gnss", 6},
        {"orbcomm", 12},      {"last-30-days", 24},
        {"visual", 22},       {"WEATHER", 8},
        {"weather", 8},       {"stations", std::nullopt},
        {"", std::nullopt},
    };
    for (const auto& [name, file] : cases) {
        SCOPED_TRACE(name);
        EXPECT_EQ(service::CelesTrakGroupFile(name), file);
    }
}

// Two weather satellites, one with a comma in its name.
const std::string WeatherFile = "NOAA 15\r\n" + Line1({"", "25338", "24005.50000000", "", ""}) + "\r\n"
                                + Line2({"", "25338", "", "0009000", "14.26000000"}) + "\r\nMETOP-C, SPARE\r\n"
                                + Line1({"", "43689", "24004.25000000", "", ""}) + "\r\n"
                                + Line2({"", "43689", "", "0001500", "14.21000000"}) + "\r\n";

class TServiceApi : public ::testing::Test {
protected:
    TServiceApi() : Service(Options()) {}

    service::TServiceOptions Options()
    {
        Data.Write("2.txt", GroupFile());
        Data.Write("8.txt", WeatherFile);
        service::TServiceOptions options;
        options.DataFolder = Data.Path;
        options.CelesTrakGroups = true;
        options.RecordFile = Data.Path + "/record.log";
        return options;
    }

    std::string Url(const std::string& Path) const { return Service.Address() + Path; }
    std::string Query(const std::string& Path) { return Client.GetText(Url("/basicspacedata/query/class/gp" + Path)); }
    std::string LogIn(const std::string& Password = "secret")
    {
        return Client.PostForm(Url("/ajaxauth/login"), {{"identity", "observer"}, {"password", Password}});
    }
    // The status of a query that fails, 0 when it does not.
    long FailedStatus(const std::string& Path)
    {
        try {
            Query(Path);
        } catch (const EHttpError& Error) {
            return Error.Status();
        }
        return 0;
    }

    TTempFolder Data;
    service::TCatalogueService Service;
    THttpClient Client;
};

TEST_F(TServiceApi, LoginOpensASessionThatQueriesNeed)
{
    EXPECT_EQ(FailedStatus("/NORAD_CAT_ID/25544/format/3le"), 401);
    EXPECT_EQ(LogIn("wrong"), "{\"Login\":\"Failed\"}");
    EXPECT_TRUE(Service.IssuedSessions().empty());
    EXPECT_EQ(FailedStatus("/NORAD_CAT_ID/25544/format/3le"), 401);
    EXPECT_EQ(LogIn(), "\"\"");
    ASSERT_EQ(Service.IssuedSessions().size(), 1u);
    EXPECT_EQ(Query("/NORAD_CAT_ID/25544/format/3le"),
              "0 ISS (ZARYA)\r\n" + Line1(SetTexts[0]) + "\r\n" + Line2(SetTexts[0]) + "\r\n");

    const std::vector<service::TRecordedRequest> requests = Service.Requests();
    ASSERT_EQ(requests.size(), 5u);
    EXPECT_EQ(requests[1].Method, "POST");
    EXPECT_EQ(requests[1].Target, "/ajaxauth/login");
    EXPECT_EQ(requests[1].Body, "identity=observer&password=wrong");
    EXPECT_EQ(requests[4].Header("Cookie"), "chocolatechip=" + Service.IssuedSessions()[0]);
    const std::vector<service::TRecordedRequest> recorded = service::ReadRequestLog(Data.Path + "/record.log");
    ASSERT_EQ(recorded.size(), requests.size());
    for (std::size_t i = 0; i < requests.size(); ++i) {
        EXPECT_EQ(recorded[i].Target, requests[i].Target);
        EXPECT_EQ(recorded[i].Millis, requests[i].Millis);
        EXPECT_EQ(recorded[i].Body, requests[i].Body);
        if (i > 0) {
            EXPECT_LE(requests[i - 1].Millis, requests[i].Millis);
        }
    }
}

TEST_F(TServiceApi, AnswersThreeLineSetsAndJsonByDefault)
{
    LogIn();
    const std::string sets = Query("/NORAD_CAT_ID/148493%2C25544/orderby/norad_cat_id%20asc/format/3le");
    EXPECT_EQ(sets, "0 ISS (ZARYA)\r\n" + Line1(SetTexts[0]) + "\r\n" + Line2(SetTexts[0]) + "\r\n"
                        + "0 STARLINK-9999\r\n" + Line1(SetTexts[4]) + "\r\n" + Line2(SetTexts[4]) + "\r\n");
    const std::string json = Query("/NORAD_CAT_ID/148493");
    EXPECT_EQ(json.front(), '[');
    EXPECT_NE(json.find("\"NORAD_CAT_ID\":\"148493\""), std::string::npos);
    EXPECT_NE(json.find("\"TLE_LINE1\":\"1 E8493U"), std::string::npos);
    EXPECT_EQ(FailedStatus("/COLOUR/red"), 400);
    EXPECT_EQ(Service.Requests().back().ReadableTarget(), "/basicspacedata/query/class/gp/COLOUR/red");
    EXPECT_EQ(Service.Requests()[1].ReadableTarget(),
              "/basicspacedata/query/class/gp/NORAD_CAT_ID/148493,25544/orderby/norad_cat_id asc/format/3le");
}

TEST_F(TServiceApi, SessionLapsesAfterItsQueriesAndLogoutEndsIt)
{
    service::TServiceFaults faults;
    faults.SessionQueries = 2;
    Service.SetFaults(faults);
    LogIn();
    EXPECT_EQ(FailedStatus("/NORAD_CAT_ID/25544"), 0);
    EXPECT_EQ(FailedStatus("/NORAD_CAT_ID/25544"), 0);
    EXPECT_EQ(FailedStatus("/NORAD_CAT_ID/25544"), 401);
    EXPECT_EQ(FailedStatus("/NORAD_CAT_ID/25544"), 401);
    LogIn();
    EXPECT_EQ(FailedStatus("/NORAD_CAT_ID/25544"), 0);
    Client.GetText(Url("/ajaxauth/logout"));
    EXPECT_EQ(FailedStatus("/NORAD_CAT_ID/25544"), 401);
    EXPECT_EQ(Service.IssuedSessions().size(), 2u);
}

TEST_F(TServiceApi, RateLimitAnswersComeInBothForms)
{
    LogIn();
    service::TServiceFaults faults;
    faults.RateLimit = service::TRateLimitAnswer::ServerError;
    Service.SetFaults(faults);
    EXPECT_EQ(FailedStatus("/NORAD_CAT_ID/25544/format/3le"), 500);
    faults.RateLimit = service::TRateLimitAnswer::ErrorList;
    Service.SetFaults(faults);
    EXPECT_TRUE(
        Query("/NORAD_CAT_ID/25544/format/3le").starts_with("[{\"error\":\"You've violated your query rate limit"));
    faults.RateLimit = service::TRateLimitAnswer::None;
    Service.SetFaults(faults);
    EXPECT_TRUE(Query("/NORAD_CAT_ID/25544/format/3le").starts_with("0 ISS (ZARYA)\r\n"));
}

TEST_F(TServiceApi, CelesTrakGroupsAnswerTheirMembersAsCsv)
{
    EXPECT_EQ(Client.GetText(Url("/NORAD/elements/gp.php?GROUP=weather&FORMAT=csv")),
              std::string(service::OmmCsvHeader) + "\r\n"
                  + "NOAA 15,1998-067A,2024-01-05T12:00:00.000000,14.26000000,.0009000,51.6416,247.4627,130.5360,"
                    "325.0288,0,U,25338,999,12345,.10270E-3,0.00016717,0\r\n"
                    "\"METOP-C, SPARE\",1998-067A,2024-01-04T06:00:00.000000,14.21000000,.0001500,51.6416,247.4627,"
                    "130.5360,325.0288,0,U,43689,999,12345,.10270E-3,0.00016717,0\r\n");
    EXPECT_THROW(Client.GetText(Url("/NORAD/elements/gp.php?GROUP=stations&FORMAT=csv")), EHttpError);
    EXPECT_EQ(Service.Requests().back().Target, "/NORAD/elements/gp.php?GROUP=stations&FORMAT=csv");
}

TEST(CelesTrakGroups, AreNotServedUnlessAsked)
{
    TTempFolder data;
    service::TServiceOptions options;
    options.DataFolder = data.Path;
    service::TCatalogueService service(options);
    THttpClient client;
    try {
        client.GetText(service.Address() + "/NORAD/elements/gp.php?GROUP=weather&FORMAT=csv");
        ADD_FAILURE() << "answered";
    } catch (const EHttpError& Error) {
        EXPECT_EQ(Error.Status(), 404);
    }
}

} // namespace
} // namespace elsetry::test
