#include "elements/OmmReaders.h"
#include "elements/OmmRecord.h"
#include "elements/OmmWriter.h"
#include "tests/support/TestElementSets.h"

#include <gtest/gtest.h>

using namespace elsetry;

namespace {

// CelesTrak's JSON of 2020-07-12 for the ISS, numbers as JSON numbers.
const std::string IssObject = R"json({
    "OBJECT_NAME": "ISS (ZARYA)", "OBJECT_ID": "1998-067A", "EPOCH": "2020-07-12T21:16:01.000416",
    "MEAN_MOTION": 15.49507896, "ECCENTRICITY": 0.0001413, "INCLINATION": 51.6461,
    "RA_OF_ASC_NODE": 221.2784, "ARG_OF_PERICENTER": 89.1723, "MEAN_ANOMALY": 280.4612,
    "EPHEMERIS_TYPE": 0, "CLASSIFICATION_TYPE": "U", "NORAD_CAT_ID": 25544, "ELEMENT_SET_NO": 999,
    "REV_AT_EPOCH": 23600, "BSTAR": -3.1515e-5, "MEAN_MOTION_DOT": -2.218e-5, "MEAN_MOTION_DDOT": 0
})json";

// The ISS object with one field's value replaced, or the field left out when Value is empty.
std::string IssWith(const std::string& Field, const std::string& Value)
{
    std::string object = IssObject;
    const std::size_t key = object.find("\"" + Field + "\"");
    const std::size_t end = object.find_first_of(",}", object.find(':', key));
    if (Value.empty())
        object.erase(key, end + 1 - key);
    else
        object.replace(key, end - key, "\"" + Field + "\": " + Value);
    return object;
}

// The ISS object with the key Field written as Key.
std::string IssKeyed(const std::string& Field, const std::string& Key)
{
    std::string object = IssObject;
    return object.replace(object.find("\"" + Field + "\""), Field.size() + 2, "\"" + Key + "\"");
}

// The fault of the reader of records, or with Objects of the reader that gives their texts too.
std::string FaultOf(const std::string& Text, bool Objects = false)
{
    try {
        if (Objects)
            ReadOmmJsonObjects(Text, [](const TOmmRecord&, std::string_view) {});
        else
            ReadOmmJson(Text);
    } catch (const EOmmFormat& error) {
        return error.what();
    }
    return "read without a fault";
}

TEST(OmmJsonTest, KeepsNumbersAsWritten)
{
    const auto records = ReadOmmJson("[" + IssObject + "]");
    ASSERT_EQ(records.size(), 1u);
    const TOmmRecord& r = records[0];
    EXPECT_EQ(r.ObjectName, "ISS (ZARYA)");
    EXPECT_EQ(r.Epoch, "2020-07-12T21:16:01.000416");
    EXPECT_EQ(r.MeanMotion, "15.49507896");
    EXPECT_EQ(r.Eccentricity, "0.0001413");
    EXPECT_EQ(r.ArgOfPericenter, "89.1723");
    EXPECT_EQ(r.NoradCatId, "25544");
    EXPECT_EQ(r.Bstar, "-3.1515e-5");
    EXPECT_EQ(r.MeanMotionDot, "-2.218e-5");
    EXPECT_EQ(r.MeanMotionDdot, "0");
}

TEST(OmmJsonTest, TakesStringsNullsAndKeysOfEitherCase)
{
    const std::string text = "[" + IssWith("OBJECT_NAME", R"("ISS \"ZARYA\" \u00e9")") + ",\n" +
                             IssWith("MEAN_MOTION", R"("15.50")") + ",\n" + IssWith("BSTAR", "null") + ",\n" +
                             IssWith("OBJECT_ID", "") + ",\n" + IssWith("NORAD_CAT_ID", "") + "]";
    // The last object names its catalogue number in lower case.
    const std::string lower = text.substr(0, text.size() - 2) + ", \"norad_cat_id\": 5}]";
    const auto records = ReadOmmJson(lower);
    ASSERT_EQ(records.size(), 5u);
    EXPECT_EQ(records[0].ObjectName, "ISS \"ZARYA\" \xC3\xA9");
    EXPECT_EQ(records[1].MeanMotion, "15.50");
    EXPECT_EQ(records[2].Bstar, "");
    EXPECT_EQ(records[3].ObjectId, "");
    EXPECT_EQ(records[4].NoradCatId, "5");
}

TEST(OmmJsonTest, ReadsOneObjectAndAnEmptyList)
{
    EXPECT_EQ(ReadOmmJson(IssObject).size(), 1u);
    EXPECT_TRUE(ReadOmmJson(" [ ] ").empty());
    std::vector<std::string> objects;
    for (const std::string& text : {"\n" + IssObject + " \r\n", std::string(" [ ] "), "[" + IssObject + "\n]"})
        ReadOmmJsonObjects(text, [&](const TOmmRecord&, std::string_view Object) { objects.emplace_back(Object); });
    EXPECT_EQ(objects, (std::vector<std::string>{IssObject, IssObject}));
}

TEST(OmmJsonTest, NamesTheObjectAndFieldThatDoNotRead)
{
    struct TCase {
        std::string Text;
        const char* Fault;
    };
    const TCase cases[] = {
        {"[" + IssObject + "," + IssWith("EPOCH", "") + "]", "object 1: EPOCH is missing"},
        {"[" + IssWith("MEAN_MOTION", "null") + "]", "object 0: MEAN_MOTION is missing"},
        {"[" + IssWith("OBJECT_NAME", "25544") + "]", "object 0: OBJECT_NAME is a number"},
        {"[" + IssWith("EPOCH", "20200712") + "]", "object 0: EPOCH is a number"},
        {"[" + IssWith("INCLINATION", "true") + "]", "object 0: INCLINATION is neither"},
        {"[" + IssWith("BSTAR", "[0]") + "]", "object 0: BSTAR is neither"},
        // Keys equal to the name expected next but in the last of its words, or but in the quote
        {"[" + IssKeyed("ECCENTRICITY", "ECCENTRICITZ") + "]", "object 0: ECCENTRICITY is missing"},
        {"[" + IssKeyed("ECCENTRICITY", "ECCENTRICITYS") + "]", "object 0: ECCENTRICITY is missing"},
        {"[" + IssObject + ", 7]", "object 1: not a JSON object"},
        {"[" + IssObject + "] []", "text follows"},
        {"[" + IssObject + ",", "not JSON"},
        {"[" + IssObject.substr(0, 40), "not JSON"},
        {"42", "not a JSON list"},
        {"", "not JSON"},
    };
    for (const TCase& c : cases) {
        EXPECT_NE(FaultOf(c.Text).find(c.Fault), std::string::npos) << c.Text << "\n" << FaultOf(c.Text);
        EXPECT_EQ(FaultOf(c.Text, true), FaultOf(c.Text)) << c.Text;
    }
}

} // namespace

namespace {

// What the JSON writer makes of a number field's text, and of a name that needs escapes.
TEST(OmmJsonObject, WritesFieldTextsAsJsonNumbersAndStrings)
{
    const std::pair<const char*, const char*> cases[] = {
        {".0006703", "0.0006703"},
        {"-.35336E-4", "-0.35336E-4"},
        {"+12.5e+04", "12.5E04"},
        {"0009", "9"},
        {"-6.43E-6", "-6.43E-6"},
        {"7.", "7"},
        {"", "null"},
        {"1e", "\"1e\""},
        {"N/A", "\"N/A\""},
    };
    for (const auto& [text, json] : cases) {
        TOmmRecord record = OmmRecordOf("A\x01\"B\"\\C", test::IssLine1, test::IssLine2);
        record.Bstar = text;
        const std::string object = OmmJsonObject(record);
        EXPECT_NE(object.find(std::string("\"BSTAR\":") + json + ","), std::string::npos) << text << " " << object;
        EXPECT_TRUE(object.starts_with(R"({"OBJECT_NAME":"A\u0001\"B\"\\C","OBJECT_ID":"1998-067A")")) << object;
        EXPECT_EQ(ReadOmmJson(object).front().Bstar, *text && json[0] != '"' ? json : text) << object;
    }
}

} // namespace
