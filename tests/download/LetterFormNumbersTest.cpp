// Catalogue numbers past 99999, written in the letter form ("E8493" for 148493), through the
// individual list, the query, saving and checking, and historic files.

#include "download/sources/DownloadExchange.h"
#include "download/sources/FavouritesList.h"
#include "elementfiles/SaveAndCheck.h"
#include "elements/SatelliteList.h"
#include "platform/AtomicFile.h"
#include "tests/download/DownloadSupport.h"
#include "tests/download/RecordingHost.h"

#include <gtest/gtest.h>

namespace elsetry::test {
namespace {

TEST(LetterFormNumbers, IndividualListKeepsEitherFormUpToTheLargestNumber)
{
    EXPECT_EQ(CleanFavourites({"E8493", "e8493", " j2931 ", "148493", "339999", "340000", "I0000", "o1234", "Z9999",
                               "A000", "E84930", "0", "00000", "A-000", "7", "99999", "100000"}),
              (TLines{"7", "99999", "100000", "E8493", "J2931", "339999"}))
        << "one entry per satellite, in the form met first, by number";
}

TEST(LetterFormNumbers, QueryAsksForTheValueInDigits)
{
    const std::pair<std::string, std::string> cases[] = {
        {"E8493", "148493"}, {"A0000", "100000"}, {"Z9999", "339999"},
        {"148493", "148493"}, {"25544", "25544"}, {"07", "07"},
    };
    for (const auto& [kept, sent] : cases)
        EXPECT_EQ(QueryNumber(kept), sent) << kept;
    const std::vector<TFormField> form = QueryForm({"25544", "E8493", "07"});
    const auto ids = std::find_if(form.begin(), form.end(), [](const TFormField& Field) { return Field.Name == "ids"; });
    ASSERT_NE(ids, form.end());
    EXPECT_EQ(ids->Value, "25544 148493 07");
}

TEST(LetterFormNumbers, CheckCountsAndNamesMissingSets)
{
    TSaveFolders folders;
    TLines text = Joined({Set("NEW A", "E8493", "08264.00000000"), Set("new a", "e8493", "08265.00000000"),
                          Set("NEW B", "J2931", "08264.00000000"), Set("NEW B TOO", "j2931", "08263.00000000")});
    SaveAndCheck(folders.Host, folders.Host.Folders(), TLines(text), "g.txt");
    EXPECT_EQ(folders.Host.LogLines(),
              (TLines{"   Saved: g.txt", "      4 satellites, 2 unique names", "         Missing: NEW B TOO"}));
    EXPECT_EQ(ReadWholeFile(folders.Group("g.txt")), CrLf(text));
}

TEST(LetterFormNumbers, HistoricFilesGrowFromSetsWrittenInLetterForm)
{
    TSaveFolders folders;
    folders.Host.Extra = {"148493=by-value.txt", "e8493=by-letter.txt", "J2931=newer-held.txt",
                          "182931=lower-case-held.txt", "339999=absent.txt", "E8494=other.txt"};
    const std::string older = CrLf({LineOne("E8493", "08200.00000000"), LineTwo("E8493")});
    const std::string newer = CrLf({LineOne("J2931", "08300.00000000"), LineTwo("J2931")});
    const std::string newerLower = CrLf({LineOne("j2931", "08300.00000000"), LineTwo("j2931")});
    const std::string other = CrLf({LineOne("E8494", "08200.00000000"), LineTwo("E8494")});
    WriteFile(folders.History("by-value.txt"), older);
    WriteFile(folders.History("by-letter.txt"), "");
    WriteFile(folders.History("newer-held.txt"), newer);
    WriteFile(folders.History("lower-case-held.txt"), newerLower);
    WriteFile(folders.History("other.txt"), other);
    TLines text = Joined({Set("NEW A", "E8493", "08264.00000000"), Set("NEW B", "J2931", "08264.00000000")});
    SaveAndCheck(folders.Host, folders.Host.Folders(), TLines(text), "g.txt");

    EXPECT_EQ(folders.Host.LogLines(),
              (TLines{"   Saved: g.txt", "      Updated historic: by-value.txt", "      Updated historic: by-letter.txt",
                      "      Historic file not found: absent.txt", "      2 satellites"}));
    const std::string a = CrLf({text[1], text[2]});
    EXPECT_EQ(ReadWholeFile(folders.History("by-value.txt")), older + a);
    EXPECT_EQ(ReadWholeFile(folders.History("by-letter.txt")), a);
    EXPECT_EQ(ReadWholeFile(folders.History("newer-held.txt")), newer);
    EXPECT_EQ(ReadWholeFile(folders.History("lower-case-held.txt")), newerLower);
    EXPECT_EQ(ReadWholeFile(folders.History("other.txt")), other);
}

TEST(LetterFormNumbers, RunSavesChecksAndExtendsWithLetterFormSets)
{
    TDownloadWorld world;
    const TLines full = LetterFormCatalogue();
    ASSERT_EQ(full[14 * 3 + 1].substr(2, 5), "E8493");
    world.ServeGroup(2, full);
    world.Choose(2, "FullCatalog.txt");
    world.Host.Inputs.Favourites = CleanFavourites({"e8493", "148494", "25544"});
    world.Host.Inputs.FavouritesFileName = "MyFavourites.txt";
    std::filesystem::create_directory(world.Host.Historic);
    world.Host.Extra = {"148493=E8493.txt"};
    TDownloadWorld::WriteText(world.Host.Historic + "E8493.txt", "");

    EXPECT_EQ(world.Run(), TDownloadOutcome::Completed);

    const auto requests = service::ReadRequestLog(world.Options.RecordFile);
    ASSERT_EQ(requests.size(), 5U);
    EXPECT_NE(requests[3].Body.find("&ids=25544%20148493%20148494&"), std::string::npos) << requests[3].Body;
    EXPECT_EQ(ReadWholeFile(world.Saved("FullCatalog.txt")), CrLfText(full));
    const TLines favourites = Joined({TLines(full.begin() + 3 * 3, full.begin() + 4 * 3),
                                      TLines(full.begin() + 14 * 3, full.begin() + 16 * 3)});
    EXPECT_EQ(ReadWholeFile(world.Saved("MyFavourites.txt")), CrLfText(favourites));
    EXPECT_EQ(ReadWholeFile(world.Host.Historic + "E8493.txt"), CrLfText(TLines{full[14 * 3 + 1], full[14 * 3 + 2]}));
    const TLines log = world.Host.Only("log");
    for (const char* line : {"      17 satellites", "      3 satellites", "      Updated historic: E8493.txt"})
        EXPECT_NE(std::find(log.begin(), log.end(), line), log.end()) << line;

    TSatelliteList list;
    list.LoadFromFile(world.Saved("MyFavourites.txt"));
    ASSERT_EQ(list.Count(), 3);
    EXPECT_EQ(list.IndexOfCatalogueNumber("148493"), list.IndexOfCatalogueNumber("E8493"));
    EXPECT_EQ(list.GetSatellite(list.IndexOfCatalogueNumber("148494"))->CatalogueNumber, "E8494");
}

} // namespace
} // namespace elsetry::test
