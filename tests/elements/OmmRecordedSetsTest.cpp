// Element sets recorded from CelesTrak and Space-Track in both forms, CSV or JSON and element
// lines, for the same objects at the same epoch (see data/omm/README.md): every record must come
// out as the service's own lines, byte for byte.

#include "elements/OmmReaders.h"
#include "elements/OmmRecord.h"

#include "platform/TextFile.h"
#include "text/Strings.h"

#include <gtest/gtest.h>

#include <regex>

using namespace elsetry;

namespace {

const std::string DataFolder = ELSETRY_OMM_TESTDATA;

std::string DataFile(const std::string& Name)
{
    return ReadWholeFile(DataFolder + "/" + Name);
}

struct TExpectedSet {
    std::string Name;
    std::string Line1;
    std::string Line2;
};

// A three-line element file: the name lines are padded to 24 columns as CelesTrak pads them.
std::vector<TExpectedSet> ElementFileSets(const std::string& Name)
{
    const TTextLines lines(DataFile(Name));
    std::vector<TExpectedSet> sets;
    for (std::size_t i = 0; i + 2 < lines.size(); i += 3)
        sets.push_back({std::string(Trim(lines[i])), std::string(lines[i + 1]), std::string(lines[i + 2])});
    return sets;
}

void ExpectServiceLines(const std::vector<TOmmRecord>& Records, const std::vector<TExpectedSet>& Expected)
{
    ASSERT_EQ(Records.size(), Expected.size());
    ASSERT_FALSE(Records.empty());
    for (std::size_t i = 0; i < Records.size(); ++i) {
        const auto lines = ElementLinesOf(Records[i]);
        ASSERT_TRUE(lines) << Records[i].NoradCatId;
        EXPECT_EQ((*lines)[0], Expected[i].Name);
        EXPECT_EQ((*lines)[1], Expected[i].Line1) << (*lines)[0];
        EXPECT_EQ((*lines)[2], Expected[i].Line2) << (*lines)[0];
    }
}

TEST(OmmRecordedSetsTest, CelesTrakCsvGivesCelesTraksLines)
{
    for (const char* name : {"celestrak-vanguard-2020", "celestrak-stations-2020"}) {
        SCOPED_TRACE(name);
        ExpectServiceLines(ReadOmmCsv(DataFile(std::string(name) + ".csv")),
                           ElementFileSets(std::string(name) + ".tle"));
    }
}

// Space-Track's records carry the element lines of the same set in TLE_LINE1 and TLE_LINE2.
std::vector<TExpectedSet> OwnLines(const std::string& Json)
{
    static const std::regex Name("\"OBJECT_NAME\"\\s*:\\s*\"([^\"]*)\"");
    static const std::regex Line1("\"TLE_LINE1\"\\s*:\\s*\"([^\"]*)\"");
    static const std::regex Line2("\"TLE_LINE2\"\\s*:\\s*\"([^\"]*)\"");
    std::vector<TExpectedSet> sets;
    for (std::sregex_iterator name(Json.begin(), Json.end(), Name), line1(Json.begin(), Json.end(), Line1),
         line2(Json.begin(), Json.end(), Line2), end;
         name != end && line1 != end && line2 != end; ++name, ++line1, ++line2)
        sets.push_back({(*name)[1], (*line1)[1], (*line2)[1]});
    return sets;
}

TEST(OmmRecordedSetsTest, CelesTrakJsonGivesCelesTraksLines)
{
    ExpectServiceLines(ReadOmmJson(DataFile("celestrak-iss-2020.json")), ElementFileSets("celestrak-iss-2020.tle"));
}

TEST(OmmRecordedSetsTest, SpaceTrackJsonGivesTheLinesOfEachRecord)
{
    for (const char* name : {"spacetrack-2020-2024.json", "spacetrack-starlink-2020-2021.json"}) {
        SCOPED_TRACE(name);
        const std::string json = DataFile(name);
        ExpectServiceLines(ReadOmmJson(json), OwnLines(json));
        // Each object's text as the file holds it: the list's brackets, commas and blanks stand
        // outside them.
        std::vector<TOmmRecord> records;
        std::string between;
        std::size_t from = 0;
        ReadOmmJsonObjects(json, [&](const TOmmRecord& Record, std::string_view Object) {
            records.push_back(Record);
            const std::size_t at = json.find(Object, from);
            ASSERT_NE(at, std::string::npos);
            between += json.substr(from, at - from) + (Object.front() == '{' && Object.back() == '}' ? "" : "?");
            from = at + Object.size();
        });
        std::erase_if(between += json.substr(from), [](char C) { return C == ' ' || C == '\n'; });
        EXPECT_EQ(between, "[" + std::string(records.size() - 1, ',') + "]");
        ExpectServiceLines(records, OwnLines(json));
    }
}

} // namespace
