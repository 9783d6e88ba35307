#include "elements/SatelliteList.h"

#include "elements/ListEntries.h"

#include "tests/support/TempFolder.h"
#include "tests/support/TestElementSets.h"
#include "text/CatalogueNumber.h"
#include "text/Strings.h"
#include "tools/catalogue/CatalogueGenerator.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>

using namespace elsetry;
using namespace elsetry::test;

namespace {

using TNames = std::vector<std::string>;

class SatelliteListTest : public testing::Test {
protected:
    TSatelliteList& Load(const std::string& Contents)
    {
        List.LoadFromFile(Folder.Write("sets.txt", Contents));
        return List;
    }

    std::vector<std::string> Names() const
    {
        std::vector<std::string> names;
        for (int i = 0; i < List.Count(); ++i)
            names.emplace_back(List.NameAt(i));
        return names;
    }

    TTempFolder Folder;
    TSatelliteList List;
};


TEST_F(SatelliteListTest, KeepsEntriesInNameOrder)
{
    Load(ThreeLines("NOAA 19", "33591") + ThreeLines("iss (zarya)", "25544") + ThreeLines("METOP-A", "29499"));
    EXPECT_EQ(Names(), (TNames{"ISS (ZARYA)", "METOP-A", "NOAA 19"}));
    EXPECT_EQ(List.GetSatellite(0)->Name, "ISS (ZARYA)");
    EXPECT_EQ(List.GetSatellite(0)->SourceFileName, "sets.txt");
    EXPECT_EQ(List.IndexOf("Noaa 19"), 2);
    EXPECT_EQ(List.IndexOf("NOAA 1"), -1);
}

TEST_F(SatelliteListTest, ReadsEveryLineEndAndSkipsFillerLines)
{
    const std::string sets = "\n--\n  \nFIRST\nshort line\n" + LineOne("11111") + "\n" +
                             std::string(67, 'x') + "\n" + LineTwo("11111") + "\r\n\r\n--\r\nSECOND\r" +
                             LineOne("22222") + "\r" + LineTwo("22222") + "\r";
    Load(sets);
    EXPECT_EQ(Names(), (TNames{"FIRST", "SECOND"}));
}

TEST_F(SatelliteListTest, CutsRenamesAndUpperCasesNames)
{
    Load(ThreeLines("   a very long satellite name indeed", "11111") + ThreeLines("NOAA-L", "26536") +
         ThreeLines("NOAA-M", "27453") + ThreeLines("NOAA-N", "28654") + ThreeLines("noaa-n", "28655"));
    EXPECT_EQ(Names(), (TNames{"A VERY LONG SATELLITE NA", "NOAA 16", "NOAA 17", "NOAA 18"}));
    EXPECT_EQ(List.GetSatellite(List.IndexOf("NOAA 18"))->CatalogueNumber, "28654");
}

TEST_F(SatelliteListTest, LatestEpochWinsPerCatalogueNumber)
{
    struct TCase {
        const char* FirstEpoch;
        const char* SecondEpoch;
        const char* ExpectedName;
    };
    const TCase cases[] = {
        {"08264.50000000", "08265.50000000", "LATER"},   // newer set takes the newer name
        {"08265.50000000", "08264.50000000", "EARLIER"}, // older set is dropped
        {"08264.50000000", "08264.50000000", "EARLIER"}, // equal epochs: first read stays
        {"99365.00000000", "00001.00000000", "LATER"},   // across the century
    };
    for (const TCase& c : cases) {
        TSatelliteList list;
        list.LoadFromFile(Folder.Write("epochs.txt", ThreeLines("EARLIER", "11111", c.FirstEpoch) +
                                                         ThreeLines("LATER", "11111", c.SecondEpoch)));
        ASSERT_EQ(list.Count(), 1);
        EXPECT_EQ(list.NameAt(0), c.ExpectedName) << c.FirstEpoch << " then " << c.SecondEpoch;
        EXPECT_EQ(list.IndexOfCatalogueNumber("11111"), 0);
    }
}

TEST_F(SatelliteListTest, OneEntryPerName)
{
    Load(ThreeLines("SAME", "11111", "08264.0") + ThreeLines("SAME", "22222", "08265.0") +
         ThreeLines("SAME", "33333", "08263.0"));
    ASSERT_EQ(List.Count(), 1);
    EXPECT_EQ(List.GetSatellite(0)->CatalogueNumber, "22222");
    EXPECT_EQ(List.IndexOfCatalogueNumber("11111"), -1);
    EXPECT_EQ(List.IndexOfCatalogueNumber("33333"), -1);
}

TEST_F(SatelliteListTest, NewerSetUnderAnotherEntrysNameReplacesThatEntry)
{
    Load(ThreeLines("ALPHA", "11111", "08264.0") + ThreeLines("BRAVO", "22222", "08264.0") +
         ThreeLines("BRAVO", "11111", "08265.0"));
    ASSERT_EQ(Names(), (TNames{"BRAVO"}));
    EXPECT_EQ(List.GetSatellite(0)->CatalogueNumber, "11111");
    EXPECT_EQ(List.IndexOfCatalogueNumber("22222"), -1);
    EXPECT_EQ(List.IndexOfCatalogueNumber("11111"), 0);
}

TEST_F(SatelliteListTest, DropsPairsThatFailTheChecks)
{
    const std::string wrongFirst = "BAD ONE\n" + WithColumns(LineOne("11111"), 1, "2") + "\n" + LineTwo("11111") + "\n";
    const std::string mismatch = "BAD TWO\n" + LineOne("22222") + "\n" + LineTwo("22223") + "\n";
    const std::string blankNumber = "BAD THREE\n" + LineOne("     ") + "\n" + LineTwo("     ") + "\n";
    const std::string zeroMotion = "BAD FOUR\n" + LineOne("44444") + "\n" + LineTwo("44444", "00.00000000") + "\n";
    Load(ThreeLines("GOOD A", "10000") + wrongFirst + mismatch + blankNumber + zeroMotion + ThreeLines("GOOD B", "20000"));
    EXPECT_EQ(Names(), (TNames{"GOOD A", "GOOD B"}));
}

TEST_F(SatelliteListTest, CatalogueLookUpNeedsFiveCharacters)
{
    std::string lower = "LOWER\n" + LineOne("2554a") + "\n" + LineTwo("2554a") + "\n";
    Load(ThreeLines("ISS", "25544") + lower + ThreeLines("BLANKED", " 1234"));
    EXPECT_EQ(List.IndexOfCatalogueNumber("25544"), List.IndexOf("ISS"));
    EXPECT_EQ(List.IndexOfCatalogueNumber("2554"), -1);
    EXPECT_EQ(List.IndexOfCatalogueNumber("255440"), -1);
    EXPECT_EQ(List.IndexOfCatalogueNumber("2554A"), List.IndexOf("LOWER"));
    EXPECT_EQ(List.IndexOfCatalogueNumber("2554a"), List.IndexOf("LOWER"));
    EXPECT_EQ(List.IndexOfCatalogueNumber("1234"), -1);
    EXPECT_EQ(List.IndexOfCatalogueNumber(" 1234"), List.IndexOf("BLANKED"));
}

TEST_F(SatelliteListTest, LinesWrittenInLowerCaseAreKeptUpperCased)
{
    std::string line1 = LineOne("2554a");
    line1[7] = 'u';
    const std::string line2 = LineTwo("2554a") + "  extra text";
    Load("lower\n" + line1 + "\n" + line2 + "\n" + ThreeLines("UPPER", "25544"));
    const TSatellite& lower = *List.GetSatellite(List.IndexOf("LOWER"));
    EXPECT_EQ(lower.Name, "LOWER");
    EXPECT_EQ(lower.CatalogueNumber, "2554A");
    EXPECT_EQ(lower.Line1, UpperCase(line1));
    EXPECT_EQ(lower.Line2, UpperCase(line2));
    EXPECT_TRUE(lower.Line2.ends_with("  EXTRA TEXT"));
    EXPECT_EQ(List.GetSatellite(List.IndexOf("UPPER"))->Line1, LineOne("25544"));
}

TEST_F(SatelliteListTest, LetterFormNumbersAreFoundInEitherForm)
{
    Load(ThreeLines("FIRST NEW", "A0000") + ThreeLines("SECOND NEW", "E8493") + ThreeLines("LAST NEW", "Z9999") +
         ThreeLines("ISS", "25544"));
    ASSERT_EQ(List.Count(), 4);
    EXPECT_EQ(List.GetSatellite(List.IndexOf("SECOND NEW"))->CatalogueNumber, "E8493");
    const std::pair<std::string_view, const char*> cases[] = {
        {"E8493", "SECOND NEW"}, {"e8493", "SECOND NEW"}, {"148493", "SECOND NEW"}, {"0148493", "SECOND NEW"},
        {"A0000", "FIRST NEW"},  {"100000", "FIRST NEW"}, {"Z9999", "LAST NEW"},   {"339999", "LAST NEW"},
        {"25544", "ISS"},        {"148494", nullptr},     {"E8494", nullptr},      {"340000", nullptr},
        {"I8493", nullptr},      {"14849", nullptr},      {"025544", nullptr},     {"", nullptr},
    };
    for (const auto& [number, name] : cases)
        EXPECT_EQ(List.IndexOfCatalogueNumber(number), name ? List.IndexOf(name) : -1) << number;
}

TEST_F(SatelliteListTest, LatestEpochWinsPerLetterFormNumber)
{
    Load(ThreeLines("EARLIER", "E8493", "26190.5") + ThreeLines("LATER", "e8493", "26191.5") +
         ThreeLines("OTHER", "J2931", "26190.5"));
    EXPECT_EQ(Names(), (TNames{"LATER", "OTHER"}));
    EXPECT_EQ(List.IndexOfCatalogueNumber("148493"), List.IndexOf("LATER"));
    EXPECT_EQ(List.IndexOfCatalogueNumber("182931"), List.IndexOf("OTHER"));
}

TEST_F(SatelliteListTest, LoadingTheSameFileTwiceKeepsTheFirstSatellites)
{
    const std::string file = Folder.Write("twice.tle", ThreeLines("A", "11111") + ThreeLines("B", "22222"));
    List.LoadFromFile(file);
    const TSatellite* first = List.GetSatellite(0);
    List.LoadFromFile(file);
    EXPECT_EQ(List.Count(), 2);
    EXPECT_EQ(List.GetSatellite(0), first);
}

TEST_F(SatelliteListTest, LoadingCountsTheSetsThatDecodedWhetherKeptOrNot)
{
    const std::string broken = "BROKEN\n" + LineOne("44444") + "\n" + LineTwo("44445") + "\n";
    const std::pair<std::string, int> cases[] = {
        {"", 0},
        {ThreeLines("A", "11111") + ThreeLines("B", "22222"), 2},
        {ThreeLines("SAME", "11111") + ThreeLines("SAME", "22222") + ThreeLines("OTHER", "11111"), 3},
        {ThreeLines("A", "11111") + broken, 1},
        {"<html>\n<body>Please log in.</body>\n</html>\n", 0},
    };
    for (const auto& [contents, decoded] : cases) {
        TSatelliteList list;
        EXPECT_EQ(list.LoadFromFile(Folder.Write("sets.txt", contents)), decoded) << contents;
    }
    EXPECT_EQ(List.LoadFromFile(Folder.Path + "/absent.txt"), 0);
}

TEST_F(SatelliteListTest, IncompleteTailsEndTheFile)
{
    EXPECT_EQ(Load(ThreeLines("A", "11111") + "NAME ONLY\n").Count(), 1);
    List.Clear();
    EXPECT_EQ(Load(ThreeLines("A", "11111") + "LAST\n" + LineOne("22222") + "\n").Count(), 1);
    List.Clear();
    // Without a 68-character line 2 the last line read stands in for it, and fails the checks.
    EXPECT_EQ(Load(ThreeLines("A", "11111") + "LAST\n" + LineOne("22222") + "\nshort\n").Count(), 1);
}

TEST_F(SatelliteListTest, BareTwoLineFilesAreMisreadWithoutHarm)
{
    std::string bare;
    for (const char* number : {"11111", "22222", "33333"})
        bare += LineOne(number) + "\n" + LineTwo(number) + "\n";
    Load(bare);
    ASSERT_EQ(List.Count(), 1);
    EXPECT_EQ(List.NameAt(0).substr(0, 2), "2 ");
}

TEST_F(SatelliteListTest, SurvivesGarbage)
{
    std::mt19937 random(7);
    std::string garbage(200000, '\0');
    for (char& c : garbage)
        c = static_cast<char>(random());
    Load(garbage + ThreeLines("AFTER GARBAGE", "11111"));
    EXPECT_LE(List.Count(), 1 + 200000 / 68);
    Load(std::string(1'000'000, '1'));
}

TEST_F(SatelliteListTest, MissingFileIsIgnored)
{
    List.LoadFromFile(Folder.Path + "/absent.txt");
    List.LoadFromFile(Folder.Path); // a folder is not a file
    EXPECT_EQ(List.Count(), 0);
}

TEST_F(SatelliteListTest, ClearEmptiesTheList)
{
    Load(ThreeLines("A", "11111"));
    List.Clear();
    EXPECT_EQ(List.Count(), 0);
    EXPECT_EQ(List.IndexOfCatalogueNumber("11111"), -1);
    Load(ThreeLines("A", "11111"));
    EXPECT_EQ(List.Count(), 1);
}

TEST_F(SatelliteListTest, AgreesWithALinearSearchOnAGeneratedCatalogue)
{
    TCatalogueOptions options;
    options.Count = 3000;
    std::string text;
    for (const std::string& line : GenerateCatalogue(options))
        text += line + "\n";
    Load(text);
    ASSERT_EQ(List.Count(), 3000);
    for (int i = 0; i < List.Count(); ++i) {
        const TSatellite* s = List.GetSatellite(i);
        ASSERT_EQ(List.IndexOfCatalogueNumber(s->CatalogueNumber), i);
        ASSERT_EQ(List.IndexOf(s->Name), i);
        if (i > 0) {
            ASSERT_LT(List.NameAt(i - 1), List.NameAt(i));
        }
    }
}

TEST_F(SatelliteListTest, FindsEveryNumberOfALetterFormCatalogueInBothForms)
{
    TCatalogueOptions options;
    options.Count = 3000;
    options.FirstNumber = 99000;
    options.Alpha5 = true;
    std::string text;
    for (const std::string& line : GenerateCatalogue(options))
        text += line + "\n";
    Load(text);
    ASSERT_EQ(List.Count(), 3000);
    int letterForms = 0;
    for (int i = 0; i < List.Count(); ++i) {
        const std::string_view number = List.GetSatellite(i)->CatalogueNumber;
        const std::optional<int> value = CatalogueNumberValue(number);
        ASSERT_TRUE(value) << number;
        ASSERT_EQ(number, Alpha5Text(*value));
        ASSERT_EQ(List.IndexOfCatalogueNumber(number), i);
        if (*value >= FirstAlpha5Number) {
            ++letterForms;
            ASSERT_EQ(List.IndexOfCatalogueNumber(std::to_string(*value)), i) << number;
        }
    }
    EXPECT_EQ(letterForms, 3000 - 11 - 1000);
}

// The entries are found a part of the text at a time; sets of one name or number in different
// parts must come out as the whole list has them.
TEST_F(SatelliteListTest, EntriesAgreeWithTheListAcrossThePartsOfALargeText)
{
    std::string text;
    for (const auto& [seed, first] : {std::pair{1, 40000}, std::pair{2, 50000}}) {
        TCatalogueOptions options;
        options.Count = 20000;
        options.Seed = static_cast<std::uint64_t>(seed);
        options.FirstNumber = first;
        for (const std::string& line : GenerateCatalogue(options))
            text += line + "\n";
    }
    text += ThreeLines("noaa-l", "26536") + ThreeLines("LOWER", "2554a") + "BAD\n" + LineOne("22222") + "\n"
            + LineTwo("22223") + "\n" + ThreeLines("ALPHA", "11111", "08264.0")
            + ThreeLines("BRAVO", "12345", "08264.0") + ThreeLines("BRAVO", "11111", "08265.0");
    const auto shared = std::make_shared<const std::string>(text);
    const int decoded = List.LoadFromText(shared, "/x/sets.txt");
    TListEntries entries(shared, "/x/sets.txt");
    EXPECT_EQ(entries.Decoded(), decoded);
    ASSERT_EQ(entries.Count(), List.Count());
    ASSERT_LT(List.Count(), decoded);
    for (TSatellite* set : List.EverySet())
        ASSERT_EQ(entries.HoldsName(set->Name), List.IndexOf(set->Name) >= 0) << set->Name;
    std::vector<std::string> numbers{"2554A", "2554a", "12345", "11111", "99999", "0"};
    for (int i = 0; i < List.Count(); i += 97)
        numbers.emplace_back(List.GetSatellite(i)->CatalogueNumber);
    for (const std::string& number : numbers) {
        const int index = List.IndexOfCatalogueNumber(number);
        const TSatellite* found = entries.SatelliteOfNumber(number);
        ASSERT_EQ(found != nullptr, index >= 0) << number;
        if (found != nullptr) {
            const TSatellite& listed = *List.GetSatellite(index);
            EXPECT_EQ(found->Name, listed.Name);
            EXPECT_EQ(found->Line1, listed.Line1);
            EXPECT_EQ(found->Line2, listed.Line2);
            EXPECT_EQ(found->RevolutionNumber, listed.RevolutionNumber);
            EXPECT_EQ(found->SourceFileName, "sets.txt");
        }
    }
}

TEST(SatelliteListFolderTest, LoadsEveryElementFileOfTheFolder)
{
    TTempFolder folder;
    folder.Write("a.2li", ThreeLines("FROM 2LI", "11111"));
    folder.Write("b.TLE", ThreeLines("FROM TLE", "22222"));
    folder.Write("c.txt", ThreeLines("FROM TXT", "33333"));
    folder.Write("d.dat", ThreeLines("FROM DAT", "44444"));
    folder.Write("tlenotes.TXT", ThreeLines("FROM NOTES", "55555"));
    std::filesystem::create_directory(folder.Path + "/e.txt");
    TSatelliteList list(folder.Path);
    EXPECT_EQ(list.Folder(), folder.Path + "/");
    ASSERT_EQ(list.Count(), 3);
    EXPECT_EQ(list.GetSatellite(list.IndexOf("FROM TLE"))->SourceFileName, "b.TLE");
    EXPECT_EQ(list.IndexOf("FROM NOTES"), -1);
}

TEST(SatelliteListFolderTest, AbsentFolderGivesAnEmptyList)
{
    TSatelliteList list("xx-no-such-folder");
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(list.Folder(), "xx-no-such-folder/");
}

} // namespace
