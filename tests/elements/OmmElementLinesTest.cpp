#include "elements/OmmRecord.h"

#include "elements/Satellite.h"
#include "tools/catalogue/CatalogueGenerator.h"

#include <gtest/gtest.h>

#include <functional>
#include <iterator>
#include <random>
#include <utility>

using namespace elsetry;

namespace {

// Space-Track's record of the ISS for 2020-12-13, with its element lines below.
TOmmRecord IssRecord()
{
    TOmmRecord r;
    r.ObjectName = "ISS (ZARYA)";
    r.ObjectId = "1998-067A";
    r.Epoch = "2020-12-13T16:36:04.502592";
    r.MeanMotion = "15.49181153";
    r.Eccentricity = "0.00017790";
    r.Inclination = "51.6444";
    r.RaOfAscNode = "180.2777";
    r.ArgOfPericenter = "128.5985";
    r.MeanAnomaly = "350.1361";
    r.EphemerisType = "0";
    r.ClassificationType = "U";
    r.NoradCatId = "25544";
    r.ElementSetNo = "999";
    r.RevAtEpoch = "25984";
    r.Bstar = "0.00002412400000";
    r.MeanMotionDot = "0.00000888";
    r.MeanMotionDdot = "0.0000000000000";
    return r;
}

const std::string IssLine1 = "1 25544U 98067A   20348.69171878  .00000888  00000-0  24124-4 0  9995";
const std::string IssLine2 = "2 25544  51.6444 180.2777 0001779 128.5985 350.1361 15.49181153259845";

std::array<std::string, 3> LinesOf(const TOmmRecord& Record)
{
    const auto lines = ElementLinesOf(Record);
    if (!lines)
        throw std::logic_error("no element lines for " + Record.NoradCatId);
    return *lines;
}

// Columns counted from 1, as element-set documentation counts them.
std::string Columns(const std::string& Line, std::size_t First, std::size_t Width)
{
    return Line.substr(First - 1, Width);
}

struct TFieldCase {
    const char* Text;
    const char* Expected; // the field's columns, or nullptr when the text must be refused
};

// Writes each case's text into one field of the ISS record and compares that field's columns.
void CheckField(std::string TOmmRecord::*Member, int Line, std::size_t First, std::size_t Width,
                std::initializer_list<TFieldCase> Cases, const char* FieldName)
{
    for (const TFieldCase& c : Cases) {
        TOmmRecord record = IssRecord();
        record.*Member = c.Text;
        if (!c.Expected) {
            try {
                LinesOf(record);
                ADD_FAILURE() << FieldName << " \"" << c.Text << "\" was written";
            } catch (const EOmmFormat& error) {
                EXPECT_NE(std::string(error.what()).find(FieldName), std::string::npos) << error.what();
            }
            continue;
        }
        const auto lines = LinesOf(record);
        EXPECT_EQ(Columns(lines[static_cast<std::size_t>(Line)], First, Width), c.Expected)
            << FieldName << " \"" << c.Text << "\"";
        // The checksum is counted again by the catalogue generator's own rule.
        for (const std::string& line : {lines[1], lines[2]})
            EXPECT_EQ(line.back(), '0' + ElementLineChecksum(line)) << line;
    }
}

TEST(OmmElementLinesTest, WritesSpaceTracksLinesForItsRecord)
{
    const auto lines = LinesOf(IssRecord());
    EXPECT_EQ(lines[0], "ISS (ZARYA)");
    EXPECT_EQ(lines[1], IssLine1);
    EXPECT_EQ(lines[2], IssLine2);
}

// CelesTrak writes a zero second derivative "00000+0"; a "+" counts nothing in the checksum.
TEST(OmmElementLinesTest, WritesCelesTraksZeroExponentsWhenAsked)
{
    TOmmRecord record = IssRecord();
    const auto plus = ElementLinesOf(record, TZeroExponent::Plus);
    ASSERT_TRUE(plus);
    EXPECT_EQ((*plus)[1], "1 25544U 98067A   20348.69171878  .00000888  00000+0  24124-4 0  9994");
    EXPECT_EQ((*plus)[2], IssLine2);
    record.Bstar = "0";
    record.MeanMotionDdot = "0.00012345";
    EXPECT_EQ((*ElementLinesOf(record, TZeroExponent::Plus))[1],
              "1 25544U 98067A   20348.69171878  .00000888  12345-3  00000+0 0  9995");
}

TEST(OmmElementLinesTest, WritesCatalogueNumbersInFiveColumnsAndLettersFrom100000)
{
    CheckField(&TOmmRecord::NoradCatId, 1, 3, 5,
               {{"5", "00005"},
                {"99999", "99999"},
                {"100000", "A0000"},
                {"179999", "H9999"},
                {"180000", "J0000"}, // I is left out
                {"229999", "N9999"},
                {"230000", "P0000"}, // O is left out
                {"339999", "Z9999"},
                {"25544.0", "25544"},
                {"-5", nullptr},
                {"1.5", nullptr},
                {"abc", nullptr},
                {"", nullptr},
                {"1000000000", nullptr}},
               "NORAD_CAT_ID");
    // Line 2 carries the same number.
    TOmmRecord record = IssRecord();
    record.NoradCatId = "148493";
    EXPECT_EQ(Columns(LinesOf(record)[2], 3, 5), "E8493");
}

TEST(OmmElementLinesTest, GivesNoLinesPastTheLetterForm)
{
    for (const char* number : {"340000", "999999999"}) {
        TOmmRecord record = IssRecord();
        record.NoradCatId = number;
        EXPECT_FALSE(ElementLinesOf(record)) << number;
    }
}

TEST(OmmElementLinesTest, WritesTheEpochAsDayOfYearToEightDecimals)
{
    CheckField(&TOmmRecord::Epoch, 1, 19, 14,
               {{"2020-12-13T16:36:04.502592", "20348.69171878"},
                {"2021-01-01T00:00:00.000432", "21001.00000001"}, // exactly half of 10^-8 day rounds up
                {"2021-01-01T00:00:00.000431", "21001.00000000"},
                {"2021-01-01T00:00:00.0004320001", "21001.00000001"}, // past nine digits read over
                {"2021-03-01T23:59:59.999", "21060.99999999"},
                {"2021-03-01T23:59:59.9996", "21061.00000000"}, // rounds to the next midnight
                {"2020-12-31T23:59:59.9999", "21001.00000000"}, // and into the next year
                {"2020-12-31T12:00:00", "20366.50000000"},      // a leap year's day 366
                {"2024-02-29T00:00:00Z", "24060.00000000"},
                {"2020-366T06:00:00", "20366.25000000"}, // the day-of-year form
                {"1999-06-01 00:00:00", "99152.00000000"},
                {"1957-10-04T19:28:34", "57277.81150463"},
                {"2056-12-31T23:59:59.9999", nullptr}, // rounds into 2057, past two-digit years
                {"2021-366T00:00:00", nullptr},
                {"2023-02-29T00:00:00", nullptr},
                {"2021-13-01T00:00:00", nullptr},
                {"2021-01-01T24:00:00", nullptr},
                {"2021-01-01T00:00:60", nullptr},
                {"2021-01-01T00:00:00.", nullptr},
                {"2021-01-01", nullptr},
                {"2021-01-01T00:00:00+01:00", nullptr},
                {"", nullptr}},
               "EPOCH");
}

TEST(OmmElementLinesTest, WritesTheFirstDerivativeWithItsSignAndNoLeadingZero)
{
    CheckField(&TOmmRecord::MeanMotionDot, 1, 34, 10,
               {{"0.00016717", " .00016717"},
                {"-0.00002182", "-.00002182"},
                {"-1.6E-7", "-.00000016"},
                {"-3.271E-5", "-.00003271"},      // CelesTrak's CSV
                {"-9.99999995e-9", "-.00000001"}, // carries through every digit
                {"0.99999999", " .99999999"},
                {"0.000000005", " .00000001"},
                {"-0.000000004", " .00000000"}, // rounds to zero, which has no sign
                {"0", " .00000000"},
                {"", " .00000000"},
                {"0.999999995", nullptr}, // rounds to 1
                {"1.2", nullptr},
                {"1e12", nullptr}, // past the digits a field rounds within
                {"x", nullptr}},
               "MEAN_MOTION_DOT");
}

TEST(OmmElementLinesTest, WritesDragTermsWithAnImpliedPointAndAPowerOfTen)
{
    const std::initializer_list<TFieldCase> cases = {
        {"0.00010270", " 10270-3"},
        {"-0.000011606", "-11606-4"},
        {"-.22483E-4", "-22483-4"},
        {".94864E-5", " 94864-5"},
        {"9.999951E-5", " 10000-3"},
        {"0.000123455", " 12346-3"}, // the double below it would give 12345
        {"0.0000999995", " 10000-3"},
        {"0.0045376", " 45376-2"},
        {"0.5", " 50000+0"},
        {"1.5", " 15000+1"},
        {"1e-10", " 10000-9"},
        {"0", " 00000-0"},
        {"-0.0", " 00000-0"},
        {"", " 00000-0"},
        {"1e-11", nullptr},
        {"1E00005", nullptr}, // an exponent of five digits is no number
        {"9999999999", nullptr},
        {"0.0001 ", " 10000-3"},
        {"1/2", nullptr},
    };
    CheckField(&TOmmRecord::Bstar, 1, 54, 8, cases, "BSTAR");
    CheckField(&TOmmRecord::MeanMotionDdot, 1, 45, 8, cases, "MEAN_MOTION_DDOT");
}

TEST(OmmElementLinesTest, WritesSmallFieldsOfLineOne)
{
    CheckField(&TOmmRecord::ClassificationType, 1, 8, 1, {{"U", "U"}, {"c", "C"}, {"", "U"}, {"UU", nullptr}, {"1", nullptr}},
               "CLASSIFICATION_TYPE");
    CheckField(&TOmmRecord::ObjectId, 1, 10, 8,
               {{"1998-067A", "98067A  "},
                {"2019-029BL", "19029BL "},
                {"2023-001ABC", "23001ABC"},
                {"", "        "}, // analysts' objects have none
                {"1998-67A", nullptr},
                {"98067A", nullptr},
                {"1998-067a", nullptr},
                {"1998-067ABCD", nullptr},
                {"19a8-067A", nullptr},
                {"1998-0b7A", nullptr}},
               "OBJECT_ID");
    CheckField(&TOmmRecord::EphemerisType, 1, 63, 1, {{"0", "0"}, {"2", "2"}, {"", "0"}, {"10", nullptr}}, "EPHEMERIS_TYPE");
    CheckField(&TOmmRecord::ElementSetNo, 1, 65, 4,
               {{"999", " 999"},
                {"1", "   1"},
                {"9999", "9999"},
                {"", "   0"},
                {"10000", nullptr},
                {"-1", nullptr},
                {"9x9", nullptr}},
               "ELEMENT_SET_NO");
}

TEST(OmmElementLinesTest, WritesTheMeanElementsOfLineTwo)
{
    CheckField(&TOmmRecord::Inclination, 2, 9, 8,
               {{"51.64445", " 51.6445"}, // printf of the double gives 51.6444
                {"0", "  0.0000"},
                {"98.7", " 98.7000"},
                {"359.99995", "360.0000"},
                {"05.0000", "  5.0000"}, // a leading zero is not written
                {"5.00a0", nullptr},
                {"1a.0000", nullptr},
                {"1000", nullptr},
                {"-1", nullptr},
                {"", nullptr}},
               "INCLINATION");
    CheckField(&TOmmRecord::MeanAnomaly, 2, 44, 8, {{"102.033", "102.0330"}, {"7", "  7.0000"}}, "MEAN_ANOMALY");
    CheckField(&TOmmRecord::Eccentricity, 2, 27, 7,
               {{"0.0000001", "0000001"},
                {"0.00000005", "0000001"},
                {"0.00000004", "0000000"},
                {".1845686", "1845686"},
                {".184568a", nullptr},
                {"0.98849830", "9884983"},
                {"0.99999995", nullptr}, // rounds to 1
                {"1", nullptr},
                {"-0.1", nullptr}},
               "ECCENTRICITY");
    CheckField(&TOmmRecord::MeanMotion, 2, 53, 11,
               {{"0.01958082", " 0.01958082"},
                {"0.123456785", " 0.12345679"}, // printf of the double gives 0.12345678
                {"99.999999994", "99.99999999"},
                {"99.999999995", nullptr},
                {"", nullptr}},
               "MEAN_MOTION");
    CheckField(&TOmmRecord::RevAtEpoch, 2, 64, 5,
               {{"25984", "25984"},
                {"99999", "99999"},
                {"100000", "    0"}, // five columns count revolutions modulo 100000
                {"123456", "23456"},
                {"105", "  105"},
                {"", "    0"},
                {"1.5", nullptr},
                {"-1", nullptr}},
               "REV_AT_EPOCH");
}

// Numbers written plainly ("98.70005") are rounded in one pass over their text; the same numbers
// with an exponent ("9870005e-5") go through the decimal reading. Both must give the same lines.
TEST(OmmElementLinesTest, WritesANumberAsTheSameLinesWhateverItsForm)
{
    std::mt19937 random(26);
    const auto digits = [&random](std::size_t Count) {
        std::string text;
        for (std::size_t i = 0; i < Count; ++i)
            text += static_cast<char>(random() % 3 == 0 ? '9' : '0' + random() % 10);
        return text;
    };
    const std::pair<std::string TOmmRecord::*, unsigned> fields[] = {
        {&TOmmRecord::Inclination, 3},   {&TOmmRecord::RaOfAscNode, 3}, {&TOmmRecord::ArgOfPericenter, 4},
        {&TOmmRecord::MeanAnomaly, 2},   {&TOmmRecord::MeanMotion, 2},  {&TOmmRecord::Eccentricity, 1},
        {&TOmmRecord::MeanMotionDot, 1}, {&TOmmRecord::Bstar, 1},       {&TOmmRecord::RevAtEpoch, 6},
        {&TOmmRecord::NoradCatId, 6},    {&TOmmRecord::ElementSetNo, 4}};
    for (int n = 0; n < 20000; ++n) {
        const auto& [member, wholeDigits] = fields[static_cast<std::size_t>(n) % std::size(fields)];
        const std::string whole = digits(random() % (wholeDigits + 1U));
        const std::string fraction = member == &TOmmRecord::RevAtEpoch || member == &TOmmRecord::NoradCatId
                                         ? ""
                                         : digits(random() % 13);
        const std::string sign = member == &TOmmRecord::MeanMotionDot && random() % 2 ? "-" : "";
        if (whole.empty() && fraction.empty())
            continue;
        TOmmRecord plain = IssRecord();
        TOmmRecord scientific = IssRecord();
        plain.*member = sign + whole + (fraction.empty() ? "" : "." + fraction);
        scientific.*member = sign + whole + fraction + "e-" + std::to_string(fraction.size());
        std::string plainLines;
        std::string scientificLines;
        bool plainWritten = false;
        bool scientificWritten = false;
        std::string plainFault = "none";
        std::string scientificFault = "none";
        try {
            plainWritten = AppendElementLines(plain, plainLines);
        } catch (const EOmmFormat& error) {
            plainFault = error.what();
        }
        try {
            scientificWritten = AppendElementLines(scientific, scientificLines);
        } catch (const EOmmFormat& error) {
            scientificFault = error.what();
        }
        ASSERT_EQ(plainLines, scientificLines) << plain.*member << " " << scientific.*member;
        ASSERT_EQ(plainWritten, scientificWritten) << plain.*member;
        ASSERT_EQ(plainFault == "none", scientificFault == "none") << plainFault << " / " << scientificFault;
    }
}

TEST(OmmElementLinesTest, NamesTheSatelliteOnTheNameLine)
{
    TOmmRecord record = IssRecord();
    record.ObjectName = "  STARLINK-1009  ";
    EXPECT_EQ(LinesOf(record)[0], "STARLINK-1009");
    for (const char* bad : {"", "   ", "TWO\nLINES", "BE\aLL"}) {
        record.ObjectName = bad;
        EXPECT_THROW(LinesOf(record), EOmmFormat) << bad;
    }
}

TEST(OmmElementLinesTest, WritesLinesTheSatelliteDecodes)
{
    TOmmRecord record = IssRecord();
    record.NoradCatId = "148493";
    record.Bstar = "-0.000011606";
    const auto lines = LinesOf(record);
    TSatellite satellite;
    satellite.ParseElements(lines[1], lines[2]);
    EXPECT_EQ(satellite.CatalogueNumber, "E8493");
    EXPECT_STREQ(satellite.ElementSetNumber, "999");
}

} // namespace
