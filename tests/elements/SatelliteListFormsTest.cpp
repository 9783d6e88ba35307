// Element sets in the CSV and JSON forms load exactly as the same sets written as element lines.

#include "elements/OmmElementText.h"
#include "elements/OmmReaders.h"
#include "elements/OmmRecord.h"
#include "elements/SatelliteList.h"
#include "orbit/SGP_Math.h"

#include "tests/support/TempFolder.h"
#include "tools/catalogue/CatalogueGenerator.h"
#include "tools/catalogue/CatalogueOmm.h"

#include <gtest/gtest.h>

#include <array>

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
// Enough sets for two threads to share the work.
std::vector<std::string> CatalogueWithOlderSets()
{
    TCatalogueOptions options;
    options.Count = 2100;
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

// Every field the set-up gives, compared bit for bit.
void ExpectSameSatellite(const TSatellite& Loaded, const TSatellite& Expected)
{
    ASSERT_EQ(Loaded.Name, Expected.Name);
    ASSERT_EQ(Loaded.CatalogueNumber, Expected.CatalogueNumber);
    ASSERT_EQ(Loaded.Line1, Expected.Line1);
    ASSERT_EQ(Loaded.Line2, Expected.Line2);
    ASSERT_EQ(std::string_view(Loaded.ElementSetNumber), std::string_view(Expected.ElementSetNumber));
    for (double TOrbitModel::*field :
         {&TOrbitModel::EpochJulian, &TOrbitModel::MeanMotion, &TOrbitModel::Eccentricity, &TOrbitModel::Inclination,
          &TOrbitModel::DragTerm, &TOrbitModel::MeanMotionDDotOver6, &TOrbitModel::ArgumentOfLatitude})
        ASSERT_EQ(Loaded.*field, Expected.*field);
    ASSERT_EQ(Loaded.RevolutionNumber, Expected.RevolutionNumber);
    ASSERT_EQ(Loaded.DeepSpace, Expected.DeepSpace);
    ASSERT_EQ(Loaded.DownlinkFrequency, Expected.DownlinkFrequency);
}

// Position and velocity a day and a half past the set's epoch; zeros for a set whose orbit has
// decayed by then.
std::array<double, 6> StateLater(TSatellite& S)
{
    double position[3];
    double velocity[3];
    try {
        S.PropagateToTime(position, velocity, S.EpochJulian + 1.5);
    } catch (const EMathError&) {
        return {};
    }
    return {position[0], position[1], position[2], velocity[0], velocity[1], velocity[2]};
}

TEST(SatelliteListFormsTest, LoadsCsvAndJsonAsTheirElementFileOnAnyThreads)
{
    const std::vector<std::string> lines = CatalogueWithOlderSets();
    const std::string csv = CatalogueAsOmmCsv(lines);
    const std::string json = CatalogueAsOmmJson(lines);
    TTempFolder folder;
    const std::string linesFile = folder.Write("sets.txt", ElementFileText(lines));
    for (const unsigned threads : {1u, 2u}) {
        TSatelliteList fromLines;
        const int decoded = fromLines.LoadFromFile(linesFile);
        EXPECT_EQ(decoded, static_cast<int>(lines.size() / 3));
        TSatelliteList fromCsv;
        TSatelliteList fromJson;
        fromCsv.SetLoadThreads(threads);
        fromJson.SetLoadThreads(threads);
        std::vector<std::string_view> jsonLines;
        EXPECT_EQ(fromCsv.LoadFromFile(folder.Write("sets.csv", csv)), decoded);
        EXPECT_EQ(fromJson.LoadFromText(std::make_shared<const std::string>(json), "sets.json", jsonLines), decoded);
        std::string joined;
        for (const std::string_view run : jsonLines)
            joined += run;
        EXPECT_EQ(joined, OmmElementText(json, TElementTextForm::OmmJson).Lines);
        ASSERT_EQ(fromCsv.Count(), fromLines.Count());
        ASSERT_EQ(fromJson.Count(), fromLines.Count());
        for (int i = 0; i < fromLines.Count(); ++i)
            for (const TSatelliteList* list : {&fromCsv, &fromJson})
                ExpectSameSatellite(*list->GetSatellite(i), *fromLines.GetSatellite(i));
        for (int i = 0; i < fromLines.Count(); ++i) {
            const std::array<double, 6> expected = StateLater(*fromLines.GetSatellite(i));
            ASSERT_EQ(StateLater(*fromCsv.GetSatellite(i)), expected);
            ASSERT_EQ(StateLater(*fromJson.GetSatellite(i)), expected);
        }
        EXPECT_EQ(fromCsv.GetSatellite(0)->SourceFileName, "sets.csv");
        EXPECT_EQ(fromJson.GetSatellite(0)->SourceFileName, "sets.json");
    }
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

// Text with its Nth occurrence of From replaced by To; every one for N = -1.
std::string Replaced(std::string Text, const std::string& From, const std::string& To, int N)
{
    if (N < 0) {
        for (std::size_t at = Text.find(From); at != std::string::npos; at = Text.find(From, at + To.size()))
            Text.replace(at, From.size(), To);
        return Text;
    }
    std::size_t at = 0;
    for (int i = 0; i <= N; ++i)
        at = Text.find(From, i == 0 ? 0 : at + 1);
    return Text.replace(at, From.size(), To);
}

std::string Repeated(std::string_view Text, int Times)
{
    std::string repeated;
    for (int i = 0; i < Times; ++i)
        repeated += Text;
    return repeated;
}

// A fault far into a large file is the one a reading of the whole file names; odd records
// that read load as the element lines they make. A JSON file is read a piece at a time, so each
// text loads from a file too.
TEST(SatelliteListFormsTest, ReadsLargeFilesInPiecesAsItReadsThemWhole)
{
    TCatalogueOptions options;
    options.Count = 5000;
    const std::vector<std::string> lines = GenerateCatalogue(options);
    const std::string csv = CatalogueAsOmmCsv(lines);
    const std::string json = CatalogueAsOmmJson(lines);
    const std::string name = lines[3 * 3000];
    // Blanks that carry a piece far past where the objects before them end.
    const std::string farApart = Replaced(json, "},{", "}," + std::string(9 << 20, ' ') + "{", 2500);
    const std::string faulty[] = {
        Replaced(csv, "\r\n", ",extra\r\n", 3000),
        Replaced(csv, name, name + "\"", 0),
        csv + "\"OPEN,",
        Replaced(csv, ",", "\r", 70000),
        Replaced(json, "\"MEAN_MOTION\"", "\"MEAN_MOTIOX\"", 3000),
        Replaced(json, "},{", "},7,{", 4000),
        json + "]",
        Replaced(farApart, "\"MEAN_MOTION\"", "\"MEAN_MOTIOX\"", 4000),
        farApart.substr(0, farApart.size() - 1),
    };
    TTempFolder folder;
    TSatelliteList list;
    list.SetLoadThreads(2);
    const auto load = [&](const std::string& Text, bool FromFile) {
        return FromFile ? list.LoadFromFile(folder.Write("sets.json", Text)) : list.LoadFromText(Text, "bad");
    };
    for (const std::string& text : faulty) {
        std::string whole;
        try {
            OmmElementText(text, ElementTextFormOf(text));
        } catch (const EOmmFormat& error) {
            whole = error.what();
        }
        for (const bool fromFile : {false, true}) {
            try {
                load(text, fromFile);
                ADD_FAILURE() << "loaded: " << whole;
            } catch (const EOmmFormat& error) {
                EXPECT_EQ(error.what(), whole);
            }
            EXPECT_EQ(list.Count(), 0);
        }
    }
    const std::string odd[] = {
        Replaced(csv, name, "\"--\"", 0),
        Replaced(csv, name, "\"A, \"\"B\"\"\r\nC\"", 0),
        Replaced(Replaced(csv, ",", " \t, ", 50000), "\r\n", "\r\n \r\n\t\n", 4000),
        Replaced(json, name, "A \\\"}{[\\\" B\\\\", 0),
        Replaced(Replaced(json, name, "--", 0), "\"MEAN_MOTION\":", "\"MEAN_MOTION\":\"x\",\"Q\":", 4000),
        farApart,
        // Every name seems to hold objects, wherever a part is cut.
        Replaced(farApart, "\"OBJECT_NAME\":\"", "\"OBJECT_NAME\":\"" + Repeated("},{", 100), -1),
    };
    for (const std::string& text : odd) {
        TSatelliteList fromLines;
        fromLines.LoadFromText(OmmElementText(text, ElementTextFormOf(text)).Lines, "odd");
        for (const bool fromFile : {false, true}) {
            ASSERT_EQ(load(text, fromFile), static_cast<int>(fromLines.EverySet().size()));
            ASSERT_EQ(list.Count(), fromLines.Count());
            for (int i = 0; i < list.Count(); ++i)
                ASSERT_EQ(list.GetSatellite(i)->Line1, fromLines.GetSatellite(i)->Line1);
            list.Clear();
        }
    }
}

// The objects of a JSON list are found by counting brackets outside strings many characters at
// a time; escaped quotes and backslashes, wherever they fall among those characters, must not
// move where an object ends.
TEST(SatelliteListFormsTest, FindsEveryJsonObjectWhateverItsNameEscapes)
{
    TCatalogueOptions options;
    options.Count = 3000;
    const std::string json = CatalogueAsOmmJson(GenerateCatalogue(options));
    const std::string key = "\"OBJECT_NAME\":\"";
    std::string text;
    std::size_t copied = 0;
    std::size_t object = 0;
    for (std::size_t at = json.find(key); at != std::string::npos; at = json.find(key, copied), ++object) {
        text.append(json, copied, at + key.size() - copied);
        copied = at + key.size();
        // Names of every length up to past the 64 characters a count takes, ending in escapes;
        // one long name in the middle, where the text is cut to find its objects on two threads,
        // that seems to hold objects.
        if (object == 1500)
            text += std::string(400000, 'L') + std::string(1 << 20, ' ') + "}, {\\\"A\\\":1},{";
        text += std::string(object % 67, 'N') + (object % 2 != 0 ? "\\\"}{" : "]\\\\");
    }
    text.append(json, copied);
    const std::unique_ptr<TOmmRecordRuns> runs = OmmJsonRecordRuns(text, 2);
    ASSERT_TRUE(runs);
    EXPECT_EQ(runs->Count(), 3000U);
    TSatelliteList list;
    list.SetLoadThreads(2);
    TSatelliteList fromLines;
    fromLines.LoadFromText(OmmElementText(text, TElementTextForm::OmmJson).Lines, "lines");
    EXPECT_EQ(list.LoadFromText(text, "escaped.json"), static_cast<int>(fromLines.EverySet().size()));
    ASSERT_EQ(list.Count(), fromLines.Count());
    for (int i = 0; i < list.Count(); ++i)
        ASSERT_EQ(list.GetSatellite(i)->Name, fromLines.GetSatellite(i)->Name);
}

} // namespace
