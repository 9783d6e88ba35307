#include "elements/OmmRecord.h"

#include <gtest/gtest.h>

using namespace elsetry;

namespace {

const std::string Header = "OBJECT_NAME,OBJECT_ID,EPOCH,MEAN_MOTION,ECCENTRICITY,INCLINATION,RA_OF_ASC_NODE,"
                           "ARG_OF_PERICENTER,MEAN_ANOMALY,EPHEMERIS_TYPE,CLASSIFICATION_TYPE,NORAD_CAT_ID,"
                           "ELEMENT_SET_NO,REV_AT_EPOCH,BSTAR,MEAN_MOTION_DOT,MEAN_MOTION_DDOT";
const std::string IssRow = "ISS (ZARYA),1998-067A,2020-06-25T13:08:18.802176,15.49459678,.0002519,51.6448,307.0852,"
                           "82.7533,354.3691,0,U,25544,999,23331,.19557E-4,6.43E-6,0";

std::string FaultOf(const std::string& Text)
{
    try {
        ReadOmmCsv(Text);
    } catch (const EOmmFormat& error) {
        return error.what();
    }
    return "read without a fault";
}

TEST(OmmCsvTest, ReadsEachRowsFieldsByTheHeadersNames)
{
    const auto records = ReadOmmCsv(Header + "\r\n" + IssRow + "\r\n");
    ASSERT_EQ(records.size(), 1u);
    const TOmmRecord& r = records[0];
    EXPECT_EQ(r.ObjectName, "ISS (ZARYA)");
    EXPECT_EQ(r.ObjectId, "1998-067A");
    EXPECT_EQ(r.Epoch, "2020-06-25T13:08:18.802176");
    EXPECT_EQ(r.MeanMotion, "15.49459678");
    EXPECT_EQ(r.Eccentricity, ".0002519");
    EXPECT_EQ(r.Inclination, "51.6448");
    EXPECT_EQ(r.RaOfAscNode, "307.0852");
    EXPECT_EQ(r.ArgOfPericenter, "82.7533");
    EXPECT_EQ(r.MeanAnomaly, "354.3691");
    EXPECT_EQ(r.EphemerisType, "0");
    EXPECT_EQ(r.ClassificationType, "U");
    EXPECT_EQ(r.NoradCatId, "25544");
    EXPECT_EQ(r.ElementSetNo, "999");
    EXPECT_EQ(r.RevAtEpoch, "23331");
    EXPECT_EQ(r.Bstar, ".19557E-4");
    EXPECT_EQ(r.MeanMotionDot, "6.43E-6");
    EXPECT_EQ(r.MeanMotionDdot, "0");
}

TEST(OmmCsvTest, TakesFieldsInAnyOrderAndCaseAndPassesOverOthers)
{
    const std::string text = "\xEF\xBB\xBF"
                             "norad_cat_id,Comment,object_name,EPOCH,MEAN_MOTION,ECCENTRICITY,INCLINATION,"
                             "RA_OF_ASC_NODE,ARG_OF_PERICENTER,MEAN_ANOMALY\n"
                             "5,\"old, but \"\"still\"\" up\",\"VANGUARD 1\",2020-10-13T04:52:48.472320,10.84869164,"
                             ".1845686,34.2443,225.5254,162.2516,205.2356\n"
                             "\n"
                             "25544,,\"ISS\r\n(ZARYA)\",2020-06-25T13:08:18.802176,15.49459678,.0002519,51.6448,"
                             "307.0852,82.7533,354.3691";
    const auto records = ReadOmmCsv(text);
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].NoradCatId, "5");
    EXPECT_EQ(records[0].ObjectName, "VANGUARD 1");
    EXPECT_EQ(records[0].MeanAnomaly, "205.2356");
    EXPECT_EQ(records[0].Bstar, "");
    EXPECT_EQ(records[1].ObjectName, "ISS\r\n(ZARYA)"); // a quoted field keeps its line break
    EXPECT_EQ(records[1].MeanAnomaly, "354.3691");

    // Fields a set can do without are written as zero.
    const auto lines = ElementLinesOf(records[0]);
    ASSERT_TRUE(lines);
    EXPECT_EQ((*lines)[1], "1 00005U          20287.20333880  .00000000  00000-0  00000-0 0    04");
}

TEST(OmmCsvTest, ReadsAHeaderAloneAsNoSets)
{
    EXPECT_TRUE(ReadOmmCsv(Header + "\r\n").empty());
}

TEST(OmmCsvTest, RefusesTextsThatAreNotSuchRecords)
{
    struct TCase {
        std::string Text;
        const char* Fault;
    };
    const std::string noEpoch = "OBJECT_NAME,OBJECT_ID,MEAN_MOTION,ECCENTRICITY,INCLINATION,RA_OF_ASC_NODE,"
                                "ARG_OF_PERICENTER,MEAN_ANOMALY,NORAD_CAT_ID\n";
    const TCase cases[] = {
        {"", "no header line"},
        {noEpoch, "does not name EPOCH"},
        {Header + ",EPOCH\n", "names EPOCH twice"},
        {Header + "\n" + IssRow + "\n" + IssRow + ",extra\n", "row 3 has 18 fields, the header names 17"},
        {Header + "\n" + IssRow.substr(0, IssRow.rfind(',')) + "\n", "row 2 has 16 fields"},
        {Header + "\n\"ISS\" (ZARYA)" + IssRow.substr(IssRow.find(',')) + "\n", "not CSV"},
        {Header + "\n\"ISS (ZARYA)" + IssRow.substr(IssRow.find(',')) + "\n", "not CSV"},
    };
    for (const TCase& c : cases)
        EXPECT_NE(FaultOf(c.Text).find(c.Fault), std::string::npos) << c.Text << "\n" << FaultOf(c.Text);
}

TEST(OmmCsvTest, TellsTheFormOfATextFromItsStart)
{
    struct TCase {
        std::string Text;
        TElementTextForm Form;
    };
    const TCase cases[] = {
        {"[{\"OBJECT_NAME\":\"ISS\"}]", TElementTextForm::OmmJson},
        {"\xEF\xBB\xBF \r\n [ ]", TElementTextForm::OmmJson},
        {"{\"OBJECT_NAME\":\"ISS\"}", TElementTextForm::OmmJson},
        {Header + "\r\n", TElementTextForm::OmmCsv},
        {"\xEF\xBB\xBF" "object_name,norad_cat_id\n", TElementTextForm::OmmCsv},
        {"ISS (ZARYA)\n1 25544U ...", TElementTextForm::ElementLines},
        {"[+] ISS (ZARYA)\n1 25544U ...", TElementTextForm::ElementLines},
        {"OBJECT_NAME NORAD_CAT_ID\n", TElementTextForm::ElementLines},
        {"ISS\nOBJECT_NAME,NORAD_CAT_ID\n", TElementTextForm::ElementLines},
        {"", TElementTextForm::ElementLines},
    };
    for (const TCase& c : cases)
        EXPECT_EQ(ElementTextFormOf(c.Text), c.Form) << c.Text;
}

} // namespace
