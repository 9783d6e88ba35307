// Whole runs with the CelesTrak source and with the query API against the stand-in, writing every
// form of file the store's file options ask for; each file read back by the run's check and by
// readers written elsewhere: python3-sgp4 for element lines, Python's csv and json for OMM.

#include "download/RunRequestStore.h"
#include "download/sources/CelesTrakSource.h"
#include "download/sources/SpaceTrackApiSource.h"
#include "elements/OmmWriter.h"
#include "settings/RegistryVariables.h"
#include "text/CatalogueNumber.h"
#include "text/Strings.h"
#include "tests/download/DownloadSupport.h"
#include "tests/download/RecordingHost.h"
#include "tests/support/FakeClock.h"
#include "tests/support/StoreFixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <sstream>

namespace elsetry::test {
namespace {

// A group's file: its form and what becomes of numbers past 99999, as stored ("" the default). The
// Special Interest group holds objects past element lines alone.
struct TFileRow {
    int Group;
    const char* FileName;
    const char* Form;
    const char* LongNumbers;
};
constexpr TFileRow Rows[] = {
    {2, "full.csv", "csv", "leave out"}, {8, "weather.json", "JSON", ""},  {20, "amateur.tle", "two-line", ""},
    {6, "gnss.txt", "", "leave out"},    {24, "special.json", "json", ""},
};
constexpr TFileRow ListRow{0, "list.json", "json", "letter form"};
// Stored texts that are no value: the file is not written, and the log says why.
constexpr TFileRow BadRow{4, "geo.txt", "jsn", ""};
// With objects past element lines, one of them absent.
const TLines ListNumbers{"25544", "E8493", "148494", "340001", "0123456789", "777777777"};
// Objects the stand-in's CSV and JSON answers add to the full catalogue and the weather group,
// numbered past what element lines hold, and the only objects of the Special Interest group.
constexpr int PastElementLines[] = {340001, 123456789};

enum class TSourceKind { CelesTrak, QueryApi };

std::vector<int> SortedNumbers(const TLines& Sets)
{
    std::vector<int> numbers;
    for (std::size_t set = 0; set + 2 < Sets.size(); set += 3)
        numbers.push_back(CatalogueNumberValue(Sets[set + 1].substr(2, 5)).value());
    std::sort(numbers.begin(), numbers.end());
    return numbers;
}

// What read_element_files.py made of each file: "CR" or "LF" and the sorted numbers.
std::map<std::string, std::pair<std::string, std::vector<int>>> ReadElsewhere(const std::vector<std::string>& Args)
{
    std::string command = ELSETRY_SYSTEM_PYTHON " " ELSETRY_READ_ELEMENT_FILES;
    for (const std::string& arg : Args)
        command += " '" + arg + "'";
    FILE* pipe = ::popen(command.c_str(), "r");
    std::string output;
    char buffer[4096];
    for (std::size_t n; pipe && (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        output.append(buffer, n);
    EXPECT_TRUE(pipe && ::pclose(pipe) == 0) << command;
    std::map<std::string, std::pair<std::string, std::vector<int>>> files;
    std::istringstream lines(output);
    for (std::string line; std::getline(lines, line);) {
        std::istringstream words(line);
        std::string path, ends;
        words >> path >> ends;
        std::vector<int> numbers;
        for (int number; words >> number;)
            numbers.push_back(number);
        std::sort(numbers.begin(), numbers.end());
        files[path] = {ends, numbers};
    }
    return files;
}

class FileFormsRun : public StoreTest, public ::testing::WithParamInterface<TSourceKind> {
protected:
    void SetUp() override
    {
        StoreTest::SetUp();
        service::TServiceOptions options;
        options.CelesTrakGroups = true;
        const bool celesTrak = GetParam() == TSourceKind::CelesTrak;
        World = std::make_unique<TDownloadWorld>(options, TDownloadTimeouts{}, [this](const TDownloadInputs& Inputs) {
            if (Inputs.Source == CelesTrakSource)
                return std::unique_ptr<TSource>(
                    std::make_unique<TCelesTrakSource>(Inputs.CelesTrakAddress, Clock, TCelesTrakRules{}, StoreFile));
            return std::unique_ptr<TSource>(std::make_unique<TSpaceTrackApiSource>(
                Inputs.SpaceTrackAddress, Inputs.CelesTrakAddress, Clock, TUsageRules{}, StoreFile));
        });
        World->Host.Inputs.Source = std::string(celesTrak ? CelesTrakSource : SpaceTrackApiSource);
        World->Host.Inputs.CelesTrakAddress = World->Service->Address();
        service::WriteDemoGroups(World->Data, 600);
        AddLongNumbers();
    }

    // Six sets numbered from 148490 on, of the demo's epochs, in the full catalogue and the weather
    // group; and the objects past element lines in their CSV answers.
    void AddLongNumbers()
    {
        const TLines demo = Served(2);
        TCatalogueOptions options;
        options.Count = 11 + 6;
        options.FirstNumber = 148490;
        options.Alpha5 = true;
        options.EpochYear = std::stoi(demo[1].substr(18, 2));
        options.FirstEpochDay = std::stoi(demo[1].substr(20, 3));
        const TLines all = GenerateCatalogue(options);
        Letters.assign(all.begin() + 11 * 3, all.end());
        std::string extra = std::string(OmmCsvHeader) + "\r\n";
        for (const int number : PastElementLines) {
            TOmmRecord record = OmmRecordOf("FAR " + std::to_string(number), Letters[1], Letters[2]);
            record.NoradCatId = std::to_string(number);
            extra += OmmCsvRow(record);
        }
        for (const int group : {2, 8}) {
            const std::string path = World->Data + "/" + std::to_string(group) + ".txt";
            TDownloadWorld::WriteText(path, ReadWholeFile(path) + LfText(Letters));
            TDownloadWorld::WriteText(World->Data + "/" + std::to_string(group) + ".csv", extra);
        }
        TDownloadWorld::WriteText(World->Data + "/24.txt", "");
        TDownloadWorld::WriteText(World->Data + "/24.csv", extra);
    }

    TLines Served(int Group) const
    {
        std::vector<std::string> lines;
        std::istringstream text(ReadWholeFile(World->Data + "/" + std::to_string(Group) + ".txt"));
        for (std::string line; std::getline(text, line);)
            lines.push_back(line);
        return lines;
    }

    static void Store(const std::string& Name, const std::string& Value)
    {
        if (*Value.c_str() != '\0')
            TRegistryString(Name, "").Value = Value;
    }

    // The rows' options through the store, as a run without a window reads them.
    void ChooseThroughTheStore()
    {
        for (const TFileRow& row : Rows) {
            World->Choose(row.Group, row.FileName);
            const std::string name(SpaceTrackGroups[RowOf(row.Group)].FileNameSetting);
            Store(FormSetting(name), row.Form);
            Store(LongNumbersSetting(name), row.LongNumbers);
        }
        World->Choose(BadRow.Group, BadRow.FileName);
        Store("FormGeo", BadRow.Form);
        Store("FormMyFavourites", ListRow.Form);
        Store("LongNumbersMyFavourites", ListRow.LongNumbers);
        Store("LineEnds", "LF");
        const TDownloadInputs stored = RunRequestFromStore(Home, {}, std::time(nullptr)).Inputs;
        for (std::size_t row = 0; row < GroupCount; ++row) {
            World->Host.Inputs.Groups[row].Options = stored.Groups[row].Options;
            World->Host.Inputs.Groups[row].OptionsFault = stored.Groups[row].OptionsFault;
        }
        World->Host.Inputs.FavouritesOptions = stored.FavouritesOptions;
        World->Host.Inputs.LineEnds = stored.LineEnds;
        World->Host.Inputs.Favourites = ListNumbers;
        World->Host.Inputs.FavouritesFileName = ListRow.FileName;
    }

    bool Logged(const std::string& Line) const
    {
        const TLines log = World->Host.Only("log");
        return std::find(log.begin(), log.end(), Line) != log.end();
    }

    // A JSON file of Space-Track's answer keeps every field of each object (among them the element
    // lines of the sets served); one of CelesTrak's the mean elements alone.
    void ExpectServiceFields(const std::string& File, const TLines& Sets, std::size_t Objects) const
    {
        const bool spaceTrack = GetParam() == TSourceKind::QueryApi;
        const std::string comment = "{\"CCSDS_OMM_VERS\":\"3.0\",\"COMMENT\":\"GENERATED VIA SPACE-TRACK.ORG API\",";
        std::size_t comments = 0;
        for (std::size_t at = File.find(comment); at != std::string::npos; at = File.find(comment, at + 1))
            ++comments;
        EXPECT_EQ(comments, spaceTrack ? Objects : 0);
        for (std::size_t set = 0; set + 2 < Sets.size(); set += 3)
            EXPECT_EQ(File.find("\"TLE_LINE1\":\"" + std::string(Trim(Sets[set + 1])) + "\"") != std::string::npos,
                      spaceTrack)
                << Sets[set + 1];
    }

    TFakeClock Clock{FixedRunTime};
    TLines Letters;
    std::unique_ptr<TDownloadWorld> World;
};

TEST_P(FileFormsRun, WritesEveryFormEveryReaderTakes)
{
    ChooseThroughTheStore();
    EXPECT_EQ(World->Run(), TDownloadOutcome::PartlyFailed);
    SCOPED_TRACE(::testing::PrintToString(World->Host.Only("log")));
    EXPECT_TRUE(Logged("   Failed: geo.txt (the setting \"FormGeo\" holds \"jsn\", and a file's form is one of "
                       "\"three-line\", \"two-line\", \"csv\", \"json\"), no file was written"));
    EXPECT_FALSE(std::filesystem::exists(World->Saved(BadRow.FileName)));

    std::vector<std::string> args;
    for (const TFileRow& row : Rows)
        args.insert(args.end(), {*row.Form ? row.Form : "three-line", World->Saved(row.FileName)});
    args.insert(args.end(), {ListRow.Form, World->Saved(ListRow.FileName)});
    const auto read = ReadElsewhere(args);
    for (const TFileRow& row : Rows) {
        const std::string path = World->Saved(row.FileName);
        SCOPED_TRACE(row.FileName);
        std::vector<int> expected = SortedNumbers(Served(row.Group));
        // Only files in the CSV and JSON forms keep the objects past element lines.
        const bool holdsFar = row.Group == 2 || row.Group == 8 || row.Group == 24;
        const bool keepsFar = holdsFar && (row.Form == std::string("csv") || SameText(row.Form, "json"));
        if (keepsFar)
            expected.insert(expected.end(), std::begin(PastElementLines), std::end(PastElementLines));
        if (*row.LongNumbers) {
            const int longNumbers = static_cast<int>(
                std::erase_if(expected, [](int Number) { return Number > 99999; }));
            EXPECT_EQ(Logged("      " + std::to_string(longNumbers)
                             + " sets numbered past 99999 left out, as chosen for this file"),
                      longNumbers > 0);
        } else if (keepsFar) {
            EXPECT_TRUE(Logged("      2 sets numbered past 339999 kept, which element lines cannot hold"));
        }
        ASSERT_TRUE(read.contains(path));
        EXPECT_EQ(read.at(path).first, "LF");
        EXPECT_EQ(read.at(path).second, expected);
        const std::size_t sets = std::count_if(expected.begin(), expected.end(), [](int N) { return N <= 339999; });
        EXPECT_EQ(Logged("      " + std::to_string(sets) + " satellites"), sets > 0) << sets;
        if (SameText(row.Form, "json"))
            ExpectServiceFields(ReadWholeFile(path), Served(row.Group), expected.size());
    }
    EXPECT_EQ(read.at(World->Saved(ListRow.FileName)).second,
              (std::vector<int>{25544, 148493, 148494, 340001, 123456789}));
    EXPECT_EQ(World->Host.Summary.back(), "   Not found: 777777777");
}

// A list of objects past element lines: saved alone in a file that holds them, left out of one
// that cannot, and the earlier file kept byte for byte whenever nothing is saved.
TEST_P(FileFormsRun, ListPastElementLinesIsAskedForOnlyWhereTheFileHoldsIt)
{
    const struct {
        const char* What;
        TFileForm Form;
        TLines Numbers;
        std::vector<int> Kept; // none: the earlier file stays
        std::string Logged;
        std::string SummaryEnd;
    } cases[] = {
        {"JSON, all of them there",
         TFileForm::Json,
         {"340001", "123456789"},
         {340001, 123456789},
         "      2 sets numbered past 339999 kept, which element lines cannot hold",
         "   list.txt: saved, 2 satellites (0 newer, 0 new, 6 gone)"},
        {"CSV, one absent",
         TFileForm::Csv,
         {"123456789", "777777777"},
         {123456789},
         "      1 sets numbered past 339999 kept, which element lines cannot hold",
         "   Not found: 777777777"},
        {"three-line",
         TFileForm::ThreeLine,
         {"340001", "123456789"},
         {},
         "   Individual list: 340001, 123456789 left out (element lines hold numbers up to 339999)",
         "   list.txt: failed (no catalogue numbers), 6 satellites kept"},
        {"JSON, none there",
         TFileForm::Json,
         {"777777777"},
         {},
         "   Failed: list.txt (no element sets), the earlier file is kept",
         "   list.txt: failed (no element sets), 6 satellites kept"},
    };
    const std::string path = World->Saved("list.txt");
    const std::string earlier = CrLf(Letters);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.What);
        TDownloadWorld::WriteText(path, earlier);
        World->Host.Events.clear();
        World->Host.Inputs.Favourites = c.Numbers;
        World->Host.Inputs.FavouritesFileName = "list.txt";
        World->Host.Inputs.FavouritesOptions.Form = c.Form;
        World->Run();
        SCOPED_TRACE(::testing::PrintToString(World->Host.Only("log")));
        EXPECT_TRUE(Logged(c.Logged));
        EXPECT_EQ(World->Host.Summary.back(), c.SummaryEnd);
        if (c.Kept.empty())
            EXPECT_EQ(ReadWholeFile(path), earlier);
        else
            EXPECT_EQ(ReadElsewhere({c.Form == TFileForm::Csv ? "csv" : "json", path}).at(path).second, c.Kept);
    }
}

INSTANTIATE_TEST_SUITE_P(BothSources, FileFormsRun, ::testing::Values(TSourceKind::CelesTrak, TSourceKind::QueryApi));

} // namespace
} // namespace elsetry::test
