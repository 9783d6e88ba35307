// Element sets in the CSV and JSON forms load exactly as the same sets written as element lines.

#include "elements/OmmRecord.h"
#include "elements/SatelliteList.h"

#include "tests/support/TempFolder.h"
#include "tools/catalogue/CatalogueGenerator.h"
#include "tools/catalogue/CatalogueOmm.h"

#include <gtest/gtest.h>

using namespace elsetry;
using namespace elsetry::test;

namespace {

std::string ElementFileText(const std::vector<std::string>& Lines)
{
    std::string text;
    for (const std::string& line : Lines)
        text += line + "\r\n";
    return text;
}

// Two catalogues of the same numbers and names, the second ten days later, so that every set
// meets an older one of its number and name.
std::vector<std::string> CatalogueWithOlderSets()
{
    TCatalogueOptions options;
    options.Count = 1500;
    options.FirstNumber = 99000; // on into the letter form
    options.Alpha5 = true;
    std::vector<std::string> lines = GenerateCatalogue(options);
    options.Seed = 2;
    options.FirstEpochDay += 10.0;
    for (std::string& line : GenerateCatalogue(options))
        lines.push_back(std::move(line));
    return lines;
}

TEST(SatelliteListFormsTest, GeneratedSetsComeBackAsTheirOwnLines)
{
    const std::vector<std::string> lines = CatalogueWithOlderSets();
    const std::vector<TOmmRecord> csv = ReadOmmCsv(CatalogueAsOmmCsv(lines));
    const std::vector<TOmmRecord> json = ReadOmmJson(CatalogueAsOmmJson(lines));
    ASSERT_EQ(csv.size() * 3, lines.size());
    ASSERT_EQ(json.size() * 3, lines.size());
    for (std::size_t i = 0; i < csv.size(); ++i)
        for (const TOmmRecord* record : {&csv[i], &json[i]}) {
            const auto written = ElementLinesOf(*record);
            ASSERT_TRUE(written);
            ASSERT_EQ((*written)[1], lines[3 * i + 1]);
            ASSERT_EQ((*written)[2], lines[3 * i + 2]);
        }
}

TEST(SatelliteListFormsTest, LoadsCsvAndJsonAsTheirElementFile)
{
    const std::vector<std::string> lines = CatalogueWithOlderSets();
    TTempFolder folder;
    TSatelliteList fromLines;
    TSatelliteList fromCsv;
    TSatelliteList fromJson;
    const int decoded = fromLines.LoadFromFile(folder.Write("sets.txt", ElementFileText(lines)));
    EXPECT_EQ(fromCsv.LoadFromFile(folder.Write("sets.csv", CatalogueAsOmmCsv(lines))), decoded);
    EXPECT_EQ(fromJson.LoadFromText(CatalogueAsOmmJson(lines), "sets.json"), decoded);
    EXPECT_EQ(decoded, static_cast<int>(lines.size() / 3));
    ASSERT_EQ(fromCsv.Count(), fromLines.Count());
    ASSERT_EQ(fromJson.Count(), fromLines.Count());
    for (int i = 0; i < fromLines.Count(); ++i)
        for (const TSatelliteList* list : {&fromCsv, &fromJson}) {
            const TSatellite& expected = *fromLines.GetSatellite(i);
            const TSatellite& loaded = *list->GetSatellite(i);
            ASSERT_EQ(loaded.Name, expected.Name);
            ASSERT_EQ(loaded.CatalogueNumber, expected.CatalogueNumber);
            ASSERT_EQ(loaded.Line1, expected.Line1);
            ASSERT_EQ(loaded.Line2, expected.Line2);
            ASSERT_EQ(loaded.EpochJulian, expected.EpochJulian);
            ASSERT_EQ(loaded.RevolutionNumber, expected.RevolutionNumber);
            ASSERT_EQ(loaded.ArgumentOfLatitude, expected.ArgumentOfLatitude);
        }
    EXPECT_EQ(fromCsv.GetSatellite(0)->SourceFileName, "sets.csv");
    EXPECT_EQ(fromJson.GetSatellite(0)->SourceFileName, "sets.json");
}

const char* const Iss = R"json({"OBJECT_NAME":"ISS (ZARYA)","OBJECT_ID":"1998-067A",
 "EPOCH":"2020-07-12T21:16:01.000416","MEAN_MOTION":15.49507896,"ECCENTRICITY":0.0001413,"INCLINATION":51.6461,
 "RA_OF_ASC_NODE":221.2784,"ARG_OF_PERICENTER":89.1723,"MEAN_ANOMALY":280.4612,"NORAD_CAT_ID":25544,
 "REV_AT_EPOCH":23600,"BSTAR":-3.1515e-5,"MEAN_MOTION_DOT":-2.218e-5})json";

// The ISS object with its catalogue number or its epoch replaced.
std::string IssAs(const std::string& Number, const std::string& Epoch = "2020-07-12T21:16:01.000416")
{
    std::string object = Iss;
    object.replace(object.find("25544"), 5, Number);
    object.replace(object.find("2020-07-12T21:16:01.000416"), 26, Epoch);
    return object;
}

TEST(SatelliteListFormsTest, CountsTheSetsItPassesOver)
{
    TSatelliteList list;
    const std::string json = "[" + IssAs("25544") + "," + IssAs("340000") + "," + IssAs("999999999") + "," +
                             IssAs("11111", "yesterday") + "," + IssAs("339999") + "]";
    EXPECT_EQ(list.LoadFromText(json, "new.json"), 2);
    EXPECT_EQ(list.Count(), 1); // the same name twice: the later-listed set of equal epoch does not replace
    EXPECT_EQ(list.SkippedUnwritable(), 2);
    EXPECT_EQ(list.SkippedUnreadable(), 1);
    list.LoadFromText(json, "again.json");
    EXPECT_EQ(list.SkippedUnwritable(), 4);
    list.Clear();
    EXPECT_EQ(list.SkippedUnwritable(), 0);
    EXPECT_EQ(list.SkippedUnreadable(), 0);
}

TEST(SatelliteListFormsTest, RefusesATextNotOfItsFormAndKeepsTheList)
{
    TSatelliteList list;
    list.LoadFromText("[" + std::string(Iss) + "]", "good.json");
    ASSERT_EQ(list.Count(), 1);
    for (const std::string& text : {"[" + std::string(Iss) + ",", "[" + std::string(Iss) + ",{\"OBJECT_NAME\":\"X\"}]",
                                    std::string("OBJECT_NAME,NORAD_CAT_ID\r\nISS,25544\r\n")})
        EXPECT_THROW(list.LoadFromText(text, "bad"), EOmmFormat) << text;
    EXPECT_EQ(list.Count(), 1);
    EXPECT_EQ(list.GetSatellite(0)->SourceFileName, "good.json");
}

} // namespace
