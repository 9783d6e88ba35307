// Catalogue numbers past 99999, written in the letter form ("E8493" for 148493), through the
// individual list, the query, saving and checking, and historic files.

#include "download/sources/DownloadExchange.h"
#include "download/sources/FavouritesList.h"
#include "elementfiles/GroupFailure.h"
#include "elementfiles/SaveAndCheck.h"
#include "elementfiles/SetChanges.h"
#include "elements/OmmWriter.h"
#include "elements/SatelliteList.h"
#include "platform/AtomicFile.h"
#include "text/Lines.h"
#include "tests/download/DownloadSupport.h"
#include "tests/download/RecordingHost.h"

#include <gtest/gtest.h>

namespace elsetry::test {
namespace {

TEST(LetterFormNumbers, IndividualListKeepsEitherFormAndDigitsPastIt)
{
    EXPECT_EQ(CleanFavourites({"E8493", "e8493", " j2931 ", "148493", "339999", "340000", "I0000", "o1234", "Z9999",
                               "A000", "E84930", "0", "00000", "A-000", "7", "99999", "100000"}),
              (TLines{"7", "99999", "100000", "E8493", "J2931", "339999", "340000"}))
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

// The service's CSV and JSON answers of three sets and three objects past what element lines
// hold, the last with an inclination no orbit has; and the element lines the source made of it.
// The JSON objects carry fields besides the mean elements, some of them over several lines.
struct TOmmAnswer {
    TLines Lines = Joined({Set("SAT A", "25544"), Set("NEW A", "E8493"), Set("NEW, B", "J2931")});
    std::string Csv;
    std::string Json = "[";
    std::vector<std::pair<std::string, std::string>> Objects; // number, object

    TOmmAnswer()
    {
        Csv = std::string(OmmCsvHeader) + "\r\n";
        for (std::size_t set = 0; set < Lines.size(); set += 3)
            Add(OmmRecordOf(Lines[set], Lines[set + 1], Lines[set + 2]), Lines[set + 1]);
        for (const char* number : {"340001", "123456789", "340002"}) {
            TOmmRecord far = OmmRecordOf(std::string("FAR ") + number, Lines[1], Lines[2]);
            far.NoradCatId = number;
            far.Inclination = std::string(number) == "340002" ? "199.0" : far.Inclination;
            Add(far, "");
        }
        Json += "]";
    }

    void Add(const TOmmRecord& Record, const std::string& Line1)
    {
        Csv += OmmCsvRow(Record);
        const std::string fields = OmmJsonObject(Record);
        Objects.emplace_back(Record.NoradCatId, "{\"COMMENT\":\"GENERATED VIA SPACE-TRACK.ORG API\",\r\n "
                                                    + fields.substr(1, fields.size() - 2)
                                                    + ",\n\"RCS_SIZE\":null,\"ODD\":{\"NORAD_CAT_ID\":[\"}\",{}]},"
                                                      "\"TLE_LINE1\":\""
                                                    + Line1 + "\"}");
        Json += (Objects.size() > 1 ? ",\n" : "") + Objects.back().second;
    }
};

// An object's text as a file of these line ends holds it.
std::string WithEnds(std::string Text, TLineEnds Ends)
{
    std::string text;
    for (const char c : Text)
        if (c != '\r')
            text += c == '\n' && Ends == TLineEnds::CrLf ? "\r\n" : std::string(1, c);
    return text;
}

std::vector<std::string> NumbersIn(const std::string& Text)
{
    std::vector<std::string> numbers;
    const TElementTextForm form = ElementTextFormOf(Text);
    if (form == TElementTextForm::ElementLines) {
        for (const std::string_view line : SplitLines(Text))
            if (line.starts_with("1 "))
                numbers.emplace_back(line.substr(2, 5));
        return numbers;
    }
    for (const TOmmRecord& record : form == TElementTextForm::OmmCsv ? ReadOmmCsv(Text) : ReadOmmJson(Text))
        numbers.push_back(record.NoradCatId);
    return numbers;
}

TEST(LetterFormNumbers, EachFormKeepsOrLeavesOutLongNumbersAsChosen)
{
    const TOmmAnswer answer;
    const TLines far = {"      1 sets numbered past 339999 left out as implausible",
                        "      2 sets numbered past 339999 kept, which element lines cannot hold"};
    constexpr auto csv = &TOmmAnswer::Csv;
    constexpr auto json = &TOmmAnswer::Json;
    struct TCase {
        TFileForm Form;
        bool LeaveOut;
        TLineEnds Ends;
        const std::string TOmmAnswer::*Answer; // the service's answer, if any
        std::vector<std::string> Numbers;
        TLines FormLines; // logged after "Saved:"
    } const cases[] = {
        {TFileForm::Csv, false, TLineEnds::CrLf, csv, {"25544", "148493", "182931", "340001", "123456789"}, far},
        {TFileForm::Json, false, TLineEnds::Lf, csv, {"25544", "148493", "182931", "340001", "123456789"}, far},
        {TFileForm::Csv,
         true,
         TLineEnds::Lf,
         csv,
         {"25544"},
         {"      5 sets numbered past 99999 left out, as chosen for this file"}},
        {TFileForm::Json, false, TLineEnds::CrLf, nullptr, {"25544", "148493", "182931"}, {}},
        {TFileForm::Csv,
         true,
         TLineEnds::CrLf,
         nullptr,
         {"25544"},
         {"      2 sets numbered past 99999 left out, as chosen for this file"}},
        {TFileForm::TwoLine,
         true,
         TLineEnds::Lf,
         nullptr,
         {"25544"},
         {"      2 sets numbered past 99999 left out, as chosen for this file"}},
        {TFileForm::Json, false, TLineEnds::Lf, json, {"25544", "148493", "182931", "340001", "123456789"}, far},
        {TFileForm::Json,
         true,
         TLineEnds::CrLf,
         json,
         {"25544"},
         {"      5 sets numbered past 99999 left out, as chosen for this file"}},
        {TFileForm::ThreeLine, false, TLineEnds::Lf, csv, {"25544", "E8493", "J2931"}, {}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(std::string(FileFormText(c.Form)) + (c.LeaveOut ? ", leave out" : "")
                     + (c.Answer == json ? ", JSON" : "") + (c.Answer == csv ? ", CSV" : ""));
        TSaveFolders folders;
        const TFileWriting writing{{c.Form, c.LeaveOut ? TLongNumbers::LeaveOut : TLongNumbers::LetterForm},
                                   c.Ends,
                                   c.Answer ? answer.*c.Answer : std::string()};
        const TSaveResult saved = SaveAndCheck(folders.Host, folders.Host.Folders(), TLines(answer.Lines), "g", {},
                                               writing);
        const std::string file = ReadWholeFile(folders.Group("g"));
        EXPECT_EQ(NumbersIn(file), c.Numbers);
        EXPECT_EQ(file.find('\r') == std::string::npos, c.Ends == TLineEnds::Lf);
        // Made of the JSON answer, the file holds the objects it keeps as the service wrote them.
        for (const auto& [number, object] : answer.Objects) {
            if (c.Answer == json) {
                EXPECT_EQ(file.find(WithEnds(object, c.Ends)) != std::string::npos,
                          std::ranges::count(c.Numbers, number) == 1)
                    << number;
            }
        }
        const std::size_t sets = c.LeaveOut ? 1 : 3;
        TLines log = Joined({{"   Saved: g"}, c.FormLines, {"      " + std::to_string(sets) + " satellites"}});
        EXPECT_EQ(folders.Host.LogLines(), log);
        // A CSV or JSON file reads back as the very lines it was made of.
        const TLines written(answer.Lines.begin(), answer.Lines.begin() + 3 * sets);
        const bool omm = c.Form == TFileForm::Csv || c.Form == TFileForm::Json;
        EXPECT_EQ(*saved.Text, omm ? LfText(written) : CrLf(written));
        EXPECT_EQ(ReadEarlierFile(folders.Group("g"))->Sets, static_cast<int>(c.Numbers.size()));
    }
    const TLines letters(answer.Lines.begin() + 3, answer.Lines.end());
    const std::string brokenCsv = std::string(OmmCsvHeader) + "\r\n\"SAT A,25544\r\n";
    std::string brokenJson = answer.Json; // a value of a field the records do not take is no JSON
    brokenJson.replace(brokenJson.find("null"), 4, "nul");
    const std::tuple<TLines, TFileForm, std::string, std::string> refused[] = {
        {letters, TFileForm::Csv, brokenCsv, "every set is numbered past 99999, left out as chosen for this file"},
        {answer.Lines, TFileForm::Csv, brokenCsv, "not element sets"},
        {answer.Lines, TFileForm::Json, brokenJson, "not element sets"},
    };
    for (const auto& [lines, form, broken, reason] : refused) {
        TSaveFolders folders;
        const TFileWriting writing{{form, TLongNumbers::LeaveOut}, TLineEnds::CrLf, broken};
        try {
            SaveAndCheck(folders.Host, folders.Host.Folders(), TLines(lines), "g", {}, writing);
            ADD_FAILURE() << reason;
        } catch (const EGroupFailed& Failure) {
            EXPECT_EQ(Failure.what(), reason);
        }
        EXPECT_FALSE(std::filesystem::exists(folders.Group("g")));
    }
}

// Objects past element lines in a list's file only when asked for; an answer of such objects
// alone is whole when any is kept, and a group's is weighed against its earlier file.
TEST(LetterFormNumbers, ObjectsPastElementLinesAreKeptAsAskedFor)
{
    const TOmmAnswer answer;
    const struct {
        const char* What;
        bool WithLines;
        std::vector<int> Asked; // a list's; none: a group's, after a file of EarlierSets
        std::size_t EarlierSets;
        std::vector<std::string> Numbers; // none: refused for Logged
        std::string Logged;
    } cases[] = {
        {"a list",
         true,
         {25544, 340001},
         0,
         {"25544", "340001"},
         "      2 sets numbered past 339999 not asked for left out"},
        {"a list of them alone",
         false,
         {340001, 123456789},
         0,
         {"340001", "123456789"},
         "      2 sets numbered past 339999 kept, which element lines cannot hold"},
        {"a list of them alone, none asked for", false, {340003}, 0, {}, "none of the numbers asked for"},
        {"a group of them alone",
         false,
         {},
         19,
         {"340001", "123456789"},
         "      1 sets numbered past 339999 left out as implausible"},
        {"a group of them alone, after a file of 21",
         false,
         {},
         21,
         {},
         "the answer holds 2 sets, the earlier file 21"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.What);
        TSaveFolders folders;
        const TFileWriting writing{{TFileForm::Json, TLongNumbers::LetterForm}, TLineEnds::Lf, answer.Csv};
        TAnswerQuestion question;
        question.Numbers.insert(c.Asked.begin(), c.Asked.end());
        question.IsList = !c.Asked.empty();
        question.EarlierSets = c.EarlierSets;
        try {
            SaveAndCheck(folders.Host, folders.Host.Folders(), c.WithLines ? TLines(answer.Lines) : TLines{}, "g",
                         question, writing);
            EXPECT_EQ(NumbersIn(ReadWholeFile(folders.Group("g"))), c.Numbers);
            const TLines log = folders.Host.LogLines();
            EXPECT_NE(std::find(log.begin(), log.end(), c.Logged), log.end()) << ::testing::PrintToString(log);
        } catch (const EGroupFailed& Failure) {
            EXPECT_TRUE(c.Numbers.empty());
            EXPECT_EQ(Failure.what(), c.Logged);
            EXPECT_FALSE(std::filesystem::exists(folders.Group("g")));
        }
    }
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
