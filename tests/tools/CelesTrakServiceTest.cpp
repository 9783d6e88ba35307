// The stand-in's gp.php as CelesTrak answers it: OMM fields built from the element lines it holds,
// the forms of the answer, and the refusals a client has to meet.

#include "download/sources/CelesTrakQueries.h"
#include "platform/AnswerLimit.h"
#include "platform/HttpClient.h"
#include "platform/TextFile.h"
#include "tests/download/DownloadSupport.h"
#include "tests/support/TempFolder.h"
#include "tools/catalogue-service/CatalogueService.h"
#include "tools/catalogue-service/CelesTrakGroups.h"
#include "tools/catalogue-service/OmmFields.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>

namespace elsetry::test {
namespace {

using namespace std::chrono_literals;

struct TFieldCase {
    const char* What;
    const char* Line1;
    const char* Line2;
    TOmmRecord Expected;
};

TEST(OmmFields, ComeFromTheColumnsDigitForDigit)
{
    const TFieldCase cases[] = {
        {"a negative drag term and first derivative",
         "1 25544U 98067A   08264.51782528 -.00002182  00000-0 -11606-4 0  2927",
         "2 25544  51.6416 247.4627 0006703 130.5360 325.0288 15.72125391563537",
         {"ISS (ZARYA)", "1998-067A", "2008-09-20T12:25:40.104192", "15.72125391", ".0006703", "51.6416", "247.4627",
          "130.5360", "325.0288", "0", "U", "25544", "292", "56353", "-.11606E-4", "-2.182E-5", "0"}},
        {"the letter form, a positive power of ten, a twentieth-century launch",
         "1 E8493U 57001B   26001.00000000  .00010000  12345-5  12345+1 0    16",
         "2 E8493  98.7000   0.0001 1000000 359.9999   0.0000  1.00270000    05",
         {"ISS (ZARYA)", "1957-001B", "2026-01-01T00:00:00.000000", "1.00270000", ".1000000", "98.7000", "0.0001",
          "359.9999", "0.0000", "0", "U", "148493", "1", "0", ".12345E1", "0.0001", ".12345E-5"}},
        {"no designator, the last moment of a leap year",
         "1 00005C          00366.99999999  .00000000  00000-0  00000+0 0 99990",
         "2 00005  34.2400 151.6050 1849000 239.9100 101.5400 10.84869000 10002",
         {"ISS (ZARYA)", "", "2000-12-31T23:59:59.999136", "10.84869000", ".1849000", "34.2400", "151.6050", "239.9100",
          "101.5400", "0", "C", "5", "9999", "1000", "0", "0", "0"}},
    };
    for (const TFieldCase& c : cases) {
        SCOPED_TRACE(c.What);
        const TOmmRecord record = service::OmmRecordOf("0 ISS (ZARYA)", c.Line1, c.Line2);
        const TOmmRecord& e = c.Expected;
        EXPECT_EQ(record.ObjectName, e.ObjectName);
        EXPECT_EQ(record.ObjectId, e.ObjectId);
        EXPECT_EQ(record.Epoch, e.Epoch);
        EXPECT_EQ(record.MeanMotion, e.MeanMotion);
        EXPECT_EQ(record.Eccentricity, e.Eccentricity);
        EXPECT_EQ(record.Inclination, e.Inclination);
        EXPECT_EQ(record.RaOfAscNode, e.RaOfAscNode);
        EXPECT_EQ(record.ArgOfPericenter, e.ArgOfPericenter);
        EXPECT_EQ(record.MeanAnomaly, e.MeanAnomaly);
        EXPECT_EQ(record.EphemerisType, e.EphemerisType);
        EXPECT_EQ(record.ClassificationType, e.ClassificationType);
        EXPECT_EQ(record.NoradCatId, e.NoradCatId);
        EXPECT_EQ(record.ElementSetNo, e.ElementSetNo);
        EXPECT_EQ(record.RevAtEpoch, e.RevAtEpoch);
        EXPECT_EQ(record.Bstar, e.Bstar);
        EXPECT_EQ(record.MeanMotionDot, e.MeanMotionDot);
        EXPECT_EQ(record.MeanMotionDdot, e.MeanMotionDdot);
    }
}

// Sets CelesTrak gave as element lines and as CSV (tests/elements/data/omm): the stand-in writes
// the same rows from the lines.
TEST(OmmFields, RowsAreWrittenAsCelesTrakWroteThem)
{
    for (const std::string name : {"celestrak-vanguard-2020", "celestrak-stations-2020"}) {
        SCOPED_TRACE(name);
        const std::string folder = ELSETRY_OMM_TESTDATA;
        const TTextLines sets(ReadWholeFile(folder + "/" + name + ".tle"));
        const TTextLines rows(ReadWholeFile(folder + "/" + name + ".csv"));
        ASSERT_EQ(rows.size() - 1, sets.size() / 3);
        EXPECT_EQ(rows[0], service::OmmCsvHeader);
        for (std::size_t set = 0; set < sets.size() / 3; ++set)
            EXPECT_EQ(service::OmmCsvRow(service::OmmRecordOf(sets[set * 3], sets[set * 3 + 1], sets[set * 3 + 2])),
                      std::string(rows[set + 1]) + "\r\n");
    }
}

TEST(OmmFields, CsvRowsQuoteWhatNeedsIt)
{
    TOmmRecord record;
    record.ObjectName = "METOP-C, \"SPARE\"";
    record.NoradCatId = "43689";
    EXPECT_EQ(service::OmmCsvRow(record), "\"METOP-C, \"\"SPARE\"\"\",,,,,,,,,,,43689,,,,,\r\n");
    EXPECT_EQ(service::OmmCsv({}), std::string(service::OmmCsvHeader) + "\r\n");
}

constexpr int WeatherFile = 8;

class GpService : public ::testing::Test {
protected:
    GpService() : Service(Options()) {}

    service::TServiceOptions Options()
    {
        Data.Write(std::to_string(WeatherFile) + ".txt", LfText(Weather));
        service::WriteDemoGroups(Data.Path + "/more", 1500);
        std::filesystem::copy_file(Data.Path + "/more/18.txt", Data.Path + "/18.txt");
        service::TServiceOptions options;
        options.DataFolder = Data.Path;
        options.CelesTrakGroups = true;
        options.GpUpdateWindow = 120min;
        options.GpClock = [this] { return Now; };
        return options;
    }

    std::string Get(const std::string& Query, const std::string& Address = {})
    {
        return Client.GetText((Address.empty() ? Service.Address() : Address) + "/NORAD/elements/gp.php?" + Query);
    }
    // The error of a request that fails; Status 0 when it does not.
    EHttpError Failure(const std::string& Query, const std::string& Address = {})
    {
        try {
            Get(Query, Address);
        } catch (const EHttpError& Error) {
            return Error;
        }
        return EHttpError("answered");
    }

    TLines Weather = LetterFormCatalogue();
    TTempFolder Data;
    std::chrono::system_clock::time_point Now = std::chrono::sys_days(std::chrono::year(2026) / 12 / 8) + 10h;
    service::TCatalogueService Service;
    THttpClient Client;
};

// Answers come gzip-compressed when the client accepts them, as they are, decoded, otherwise; the
// bound on an answer holds for its decoded text, so a small compressed answer cannot inflate past it.
TEST_F(GpService, AnswersComeCompressedAndTheBoundHoldsForTheDecodedText)
{
    std::string rows;
    for (int row = 0; row < 20000; ++row)
        rows += "REPEATED,2026-001A,2026-12-01T00:00:00.000000,15.5,.0001,51.6,0,0,0,0,U,77777,999,1,0,0,0\r\n";
    Data.Write(std::to_string(WeatherFile) + ".csv", std::string(service::OmmCsvHeader) + "\r\n" + rows);
    struct TCase {
        bool Accept;
        std::size_t Bound;
        bool Cut;
        const char* Format; // another target each, as the update window refuses repeats
    };
    for (const TCase& c :
         {TCase{true, GroupTextLimitBytes, false, "CSV"}, TCase{false, GroupTextLimitBytes, false, "csv"},
          TCase{true, rows.size() / 2, true, "Csv"}}) {
        SCOPED_TRACE(std::to_string(c.Accept) + " " + std::to_string(c.Bound));
        THttpClient client;
        client.SetAcceptGzip(c.Accept);
        client.SetMaxAnswerBytes(c.Bound);
        Service.ClearRequests();
        std::string body;
        try {
            body = client.GetText(Service.Address() + "/NORAD/elements/gp.php?GROUP=weather&FORMAT=" + c.Format);
            EXPECT_FALSE(c.Cut);
        } catch (const EHttpError& Error) {
            EXPECT_TRUE(c.Cut);
            EXPECT_EQ(Error.what(), "answer larger than " + std::to_string(c.Bound) + " bytes");
        }
        ASSERT_EQ(Service.Requests().size(), 1u);
        EXPECT_EQ(Service.Requests()[0].Header("Accept-Encoding"), c.Accept ? "gzip" : "");
        if (!c.Cut) {
            EXPECT_TRUE(body.ends_with(rows));
        }
        EXPECT_EQ(client.WireBytes() < static_cast<long long>(rows.size() / 20), c.Accept)
            << client.WireBytes() << " bytes on the wire";
    }
}

TEST_F(GpService, AnswersCsvUnlessToldOtherwise)
{
    const std::string csv = Get("GROUP=weather");
    EXPECT_TRUE(csv.starts_with(std::string(service::OmmCsvHeader) + "\r\n"));
    EXPECT_EQ(std::count(csv.begin(), csv.end(), '\n'), 1 + 17);
    EXPECT_EQ(std::count(csv.begin(), csv.end(), '\r'), 1 + 17);
    EXPECT_NE(csv.find(",148493,"), std::string::npos) << "objects from 100000 too";
    EXPECT_EQ(Get("GROUP=WEATHER&FORMAT=csv"), csv);
}

TEST_F(GpService, ElementLinesLeaveOutObjectsFrom100000)
{
    TLines held(Weather.begin(), Weather.begin() + 11 * 3);
    std::string tle, threeLine, twoLine;
    for (std::size_t first = 0; first < held.size(); first += 3) {
        const std::string& name = held[first];
        tle += name + std::string(24 - std::min<std::size_t>(24, name.size()), ' ') + "\r\n";
        threeLine += "0 " + name + "\r\n";
        const std::string lines = CelesTrakForm(held[first + 1]) + "\r\n" + held[first + 2] + "\r\n";
        tle += lines;
        threeLine += lines;
        twoLine += lines;
    }
    EXPECT_EQ(Get("GROUP=weather&FORMAT=TLE"), tle);
    EXPECT_EQ(Get("GROUP=weather&FORMAT=3le"), threeLine);
    EXPECT_EQ(Get("GROUP=weather&FORMAT=2LE"), twoLine);
    EXPECT_EQ(Failure("GROUP=weather&FORMAT=XML").Status(), 400);
}

TEST_F(GpService, CsvAndElementLinesGiveTheSameSets)
{
    const TCsvElementSets fromCsv = CsvElementSets(Get("GROUP=weather"));
    ASSERT_EQ(fromCsv.Sets.size(), Weather.size() / 3);
    std::string written;
    for (std::size_t index = 0; index < fromCsv.Sets.size(); ++index) {
        EXPECT_EQ(fromCsv.Sets[index][1], CelesTrakForm(Weather[index * 3 + 1]));
        EXPECT_EQ(fromCsv.Sets[index][2], Weather[index * 3 + 2]);
        if (fromCsv.Numbers[index] < 100000)
            written += fromCsv.Sets[index][1] + "\r\n" + fromCsv.Sets[index][2] + "\r\n";
    }
    EXPECT_EQ(written, Get("GROUP=weather&FORMAT=2LE"));
}

TEST_F(GpService, NamesAndNumbersSelectSets)
{
    const std::string inmarsat = Get("NAME=inmarsat&FORMAT=3LE");
    EXPECT_EQ(std::count(inmarsat.begin(), inmarsat.end(), '\n'), 20 * 3);
    EXPECT_NE(inmarsat.find("0 INMARSAT 20\r\n"), std::string::npos);
    EXPECT_EQ(Get("CATNR=" + Weather[1].substr(2, 5) + "&FORMAT=2LE"),
              CelesTrakForm(Weather[1]) + "\r\n" + Weather[2] + "\r\n");
    EXPECT_NE(Get("CATNR=148493").find(",148493,"), std::string::npos);
    EXPECT_EQ(Failure("CATNR=148493&FORMAT=2LE").Status(), 404) << "element lines leave it out";
}

TEST_F(GpService, NothingFoundIsSixteenBytes)
{
    for (const char* query :
         {"GROUP=stations", "CATNR=99999", "CATNR=340001", "NAME=NOSUCHNAME", "CATNR=x", "INTDES=1998-067"}) {
        const EHttpError error = Failure(query);
        EXPECT_EQ(error.Status(), 404) << query;
        EXPECT_EQ(error.Body(), "No GP data found") << query;
    }
    EXPECT_EQ(Service.Requests().back().Target, "/NORAD/elements/gp.php?INTDES=1998-067");
}

TEST_F(GpService, RepeatWithinTheUpdateWindowIsRefused)
{
    Get("GROUP=weather");
    Now += 119min;
    const EHttpError error = Failure("GROUP=weather");
    EXPECT_EQ(error.Status(), 403);
    EXPECT_TRUE(SaysNotUpdated(error.Body())) << error.Body();
    EXPECT_NE(error.Body().find("GROUP=weather at 2026-12-08 10:00:00 UTC"), std::string::npos) << error.Body();
    Get("GROUP=weather&FORMAT=TLE");
    Now += 1min;
    Get("GROUP=weather");
    EXPECT_EQ(Failure("GROUP=weather").Status(), 403) << "from the latest download on";
    EXPECT_EQ(Failure("GROUP=stations").Status(), 404) << "answers without data are no downloads";
}

TEST(GpServiceHost, OtherHostNamesAreMovedToTheServiceItself)
{
    TTempFolder data;
    service::TServiceOptions options;
    options.DataFolder = data.Path;
    options.CelesTrakGroups = true;
    options.GpOneHost = true;
    service::TCatalogueService service(options);
    THttpClient client;
    const std::string path = "/NORAD/elements/gp.php?GROUP=weather&FORMAT=CSV";
    try {
        client.GetText("http://localhost:" + std::to_string(service.Port()) + path);
        ADD_FAILURE() << "answered";
    } catch (const EHttpError& Error) {
        EXPECT_EQ(Error.what(), "redirected to " + service.Address() + path + " (HTTP 301)");
    }
    ASSERT_EQ(service.Requests().size(), 1u);
    EXPECT_EQ(service.Requests()[0].Header("Host"), "localhost:" + std::to_string(service.Port()));
    EXPECT_EQ(client.GetText(service.Address() + path), std::string(service::OmmCsvHeader) + "\r\n")
        << "its own address is answered: a weather group without members";
}

TEST_F(GpService, ErrorSwitchesAnswerWithTheirStatus)
{
    service::TServiceFaults faults;
    faults.GpErrors["GROUP=weather"] = 503;
    Service.SetFaults(faults);
    const EHttpError error = Failure("GROUP=weather");
    EXPECT_EQ(error.Status(), 503);
    EXPECT_EQ(error.Body(), "Service Unavailable");
    EXPECT_NO_THROW(Get("CATNR=25544"));
    faults.GpErrors = {{"*", 500}};
    Service.SetFaults(faults);
    EXPECT_EQ(Failure("CATNR=25338").Status(), 500);
}

TEST_F(GpService, GroupCsvFilesAddTheirRows)
{
    Data.Write(std::to_string(WeatherFile) + ".csv",
               std::string(service::OmmCsvHeader)
                   + "\r\nANALYST OBJECT,,2026-12-01T00:00:00.000000,1.0,0.001,0,0,0,0,0,"
                     "U,800000123,999,1,0,0,0\r\n");
    const std::string csv = Get("GROUP=weather");
    EXPECT_TRUE(csv.ends_with(
        "\r\nANALYST OBJECT,,2026-12-01T00:00:00.000000,1.0,0.001,0,0,0,0,0,U,800000123,999,1,0,0,0\r\n"));
    EXPECT_EQ(Get("GROUP=weather&FORMAT=2LE").find("ANALYST"), std::string::npos);
}

} // namespace
} // namespace elsetry::test
