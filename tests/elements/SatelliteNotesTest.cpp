#include "elements/SatelliteList.h"

#include "tests/support/TempFolder.h"
#include "tests/support/TestElementSets.h"
#include "orbit/EpochTime.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstring>

using namespace elsetry;
using namespace elsetry::test;

namespace {

constexpr double Unset = -1.0;

struct TNotesCase {
    const char* Line;
    double Frequency;   // Unset: default kept
    double Signed;      // Unset: default kept
    double LdJulian;    // Unset: no date
    const char* Notes;
};

const double June20At1230 = JulianDateOfYear(2006) + 171 + 12.5 / 24.0;

class NotesLineTest : public testing::TestWithParam<TNotesCase> {};

TEST_P(NotesLineTest, SetsTheFieldsItCarries)
{
    const TNotesCase& c = GetParam();
    TTempFolder folder;
    folder.Write("sets.txt", ThreeLines("ISS (ZARYA)", "25544"));
    folder.Write("TLEnotes.txt", std::string("; notes for the station\n") + c.Line + "\n");
    TSatelliteList list(folder.Path);
    ASSERT_EQ(list.Count(), 1);
    const TSatellite& s = *list.GetSatellite(0);
    EXPECT_DOUBLE_EQ(s.DownlinkFrequency, c.Frequency == Unset ? 0.0 : c.Frequency);
    EXPECT_DOUBLE_EQ(s.SignedValue, c.Signed == Unset ? 33.5 : c.Signed);
    EXPECT_NEAR(s.LdDateJulian, c.LdJulian == Unset ? 0.0 : c.LdJulian, 1e-9);
    EXPECT_EQ(s.Notes, c.Notes);
}

INSTANTIATE_TEST_SUITE_P(
    Forms, NotesLineTest,
    testing::Values(TNotesCase{"25544 145.8 +1.5 LD=2006/06/20@12:30 new", 145.8, 1.5, June20At1230, "new"},
                    TNotesCase{"25544 145.8 -2 plain words here", 145.8, -2.0, Unset, "plain words here"},
                    TNotesCase{"25544 145.8 LD=2006/06/20", 145.8, Unset, JulianDateOfYear(2006) + 171, ""},
                    TNotesCase{"25544 145.8 ld=2006/6/20@12:30:00 lower", 145.8, Unset, June20At1230, "lower"},
                    TNotesCase{"25544 145.8 LD=", 145.8, Unset, Unset, "LD="},
                    TNotesCase{"25544 145.8 LD=2006/13/20 bad month", 145.8, Unset, Unset, "bad month"},
                    TNotesCase{"25544 145.8 LD=2006/06/20@25:00 bad hour", 145.8, Unset, Unset, "bad hour"},
                    TNotesCase{"25544 145.8 +x.5 odd", 145.8, Unset, Unset, "odd"},
                    TNotesCase{"25544 145.8", 145.8, Unset, Unset, ""},
                    TNotesCase{"25544 abc LD=2006/06/20@12:30 still", Unset, Unset, June20At1230, "still"},
                    TNotesCase{"   25544 137.5 +1 trimmed first", 137.5, 1.0, Unset, "trimmed first"},
                    TNotesCase{"25544 137.5 ; comment after", 137.5, Unset, Unset, ""},
                    TNotesCase{"25544 ; only a comment", Unset, Unset, Unset, ""},
                    TNotesCase{"25544", Unset, Unset, Unset, ""},
                    TNotesCase{"2554 137.5 four digits", Unset, Unset, Unset, ""},
                    TNotesCase{"x25544 137.5 not a digit", Unset, Unset, Unset, ""}));

TEST(ReadNotesTest, LaterLinesOverrideFieldByField)
{
    TTempFolder folder;
    folder.Write("sets.tle", ThreeLines("ISS (ZARYA)", "25544") + ThreeLines("OTHER", "11111"));
    folder.Write("TLEnotes.txt", "25544 145.8 +1.5 LD=2006/06/20@12:30 first\r\n"
                                 "11111 100.0 elsewhere\r\n"
                                 "25544 145.9\r\n"
                                 "25544 bad +2.5 second\r\n");
    TSatelliteList list(folder.Path);
    const TSatellite& iss = *list.GetSatellite(list.IndexOfCatalogueNumber("25544"));
    EXPECT_DOUBLE_EQ(iss.DownlinkFrequency, 145.9);
    EXPECT_DOUBLE_EQ(iss.SignedValue, 2.5);
    EXPECT_NEAR(iss.LdDateJulian, June20At1230, 1e-9);
    EXPECT_EQ(iss.Notes, "second");
    EXPECT_EQ(list.GetSatellite(list.IndexOf("OTHER"))->Notes, "elsewhere");
}

TEST(ReadNotesTest, NumbersPastNinetyNineThousandNineHundredNinetyNineInEitherForm)
{
    TTempFolder folder;
    folder.Write("sets.tle", ThreeLines("NEW A", "E8493") + ThreeLines("NEW B", "J2931") + ThreeLines("NEW C", "P4018"));
    folder.Write("TLEnotes.txt", "148493 137.1 by value\n"
                                 "j2931 137.2 by letter\n"
                                 "I4018 137.3 no such letter\n"
                                 "X4018 137.4 no such satellite\n");
    TSatelliteList list(folder.Path);
    const std::pair<const char*, const char*> cases[] = {{"NEW A", "by value"}, {"NEW B", "by letter"}, {"NEW C", ""}};
    for (const auto& [name, notes] : cases)
        EXPECT_EQ(list.GetSatellite(list.IndexOf(name))->Notes, notes) << name;
}

TEST(ReadNotesTest, LeavesTheProcessLocaleAsItFoundIt)
{
    TTempFolder folder;
    folder.Write("sets.txt", ThreeLines("ISS (ZARYA)", "25544"));
    folder.Write("TLEnotes.txt", "25544 145.8 +1.5 LD=2006/06/20@12:30 new\n");
    const std::string before = std::setlocale(LC_ALL, nullptr);
    TSatelliteList list(folder.Path);
    EXPECT_EQ(before, std::setlocale(LC_ALL, nullptr));
    EXPECT_DOUBLE_EQ(list.GetSatellite(0)->DownlinkFrequency, 145.8);
}

TEST(ReadNotesTest, OnlyAFolderListReadsNotes)
{
    TTempFolder folder;
    const std::string sets = folder.Write("sets.txt", ThreeLines("ISS (ZARYA)", "25544"));
    folder.Write("TLEnotes.txt", "25544 145.8\n");
    TSatelliteList list;
    list.LoadFromFile(sets);
    EXPECT_DOUBLE_EQ(list.GetSatellite(0)->DownlinkFrequency, 0.0);
}

} // namespace
