// elsetry-tle reads element sets in the CSV and JSON forms as the element file of the same sets:
// check, dump and propagate print the same.

#include "tests/support/TempFolder.h"
#include "tools/catalogue/CatalogueGenerator.h"
#include "tools/catalogue/CatalogueOmm.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <sstream>
#include <sys/wait.h>

namespace elsetry::test {
namespace {

struct TRun {
    int Status = -1;
    std::string Output; // standard output only
};

TRun RunTool(const std::string& Arguments)
{
    const std::string line = std::string(ELSETRY_TLE_PROGRAM) + " " + Arguments + " 2>/dev/null";
    FILE* pipe = ::popen(line.c_str(), "r");
    if (!pipe) {
        ADD_FAILURE() << "cannot start " << line;
        return {};
    }
    TRun run;
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        run.Output.append(buffer, n);
    const int status = ::pclose(pipe);
    run.Status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

std::vector<std::string> Split(const std::string& Words)
{
    std::vector<std::string> words;
    std::istringstream in(Words);
    for (std::string word; in >> word;)
        words.push_back(word);
    return words;
}

std::string Replaced(std::string Text, const std::string& From, const std::string& To)
{
    for (std::size_t at = Text.find(From); at != std::string::npos; at = Text.find(From, at + To.size()))
        Text.replace(at, From.size(), To);
    return Text;
}

// A catalogue crossing into the letter form, with a second set of one name and a set whose mean
// motion of zero the list drops, so that check has more to say than a count.
std::vector<std::string> Catalogue()
{
    TCatalogueOptions options;
    options.Count = 300;
    options.FirstNumber = 99900;
    options.Alpha5 = true;
    std::vector<std::string> lines = GenerateCatalogue(options);
    lines[3 * 20] = lines[3 * 10];
    std::string& stopped = lines[3 * 30 + 2];
    stopped.replace(52, 11, " 0.00000000");
    stopped.back() = static_cast<char>('0' + ElementLineChecksum(stopped));
    return lines;
}

class TleToolFormsTest : public testing::Test {
protected:
    void SetUp() override
    {
        const std::vector<std::string> lines = Catalogue();
        std::string text;
        for (const std::string& line : lines)
            text += line + "\n";
        Folder.Write("sets.txt", text);
        Folder.Write("sets.csv", CatalogueAsOmmCsv(lines));
        Folder.Write("sets.json", CatalogueAsOmmJson(lines));
    }

    // The command's output for each form, file names made alike.
    void ExpectSameOutput(const std::string& Command, const std::string& After = "")
    {
        const TRun lines = RunTool(Command + " " + Folder.Path + "/sets.txt" + After);
        ASSERT_EQ(lines.Status, 0);
        ASSERT_FALSE(lines.Output.empty());
        for (const char* extension : {".csv", ".json"}) {
            const TRun other = RunTool(Command + " " + Folder.Path + "/sets" + extension + After);
            EXPECT_EQ(other.Status, 0);
            EXPECT_EQ(Replaced(other.Output, std::string("sets") + extension, "sets.txt"), lines.Output) << extension;
        }
    }

    TTempFolder Folder;
};

TEST_F(TleToolFormsTest, CheckDumpAndPropagatePrintTheSameForEveryForm)
{
    ExpectSameOutput("check");
    EXPECT_NE(RunTool("check " + Folder.Path + "/sets.json").Output.find("Missing: "), std::string::npos);
    ExpectSameOutput("dump");
    ExpectSameOutput("propagate", " 0 1440");
}

TEST_F(TleToolFormsTest, AFileThatIsNotItsFormIsABadFile)
{
    Folder.Write("broken.json", "[{\"OBJECT_NAME\": \"ISS\"");
    Folder.Write("broken.csv", "OBJECT_NAME,NORAD_CAT_ID\r\nISS,25544\r\n");
    for (const char* command : {"check", "dump", "propagate"})
        for (const char* file : {"/broken.json", "/broken.csv"}) {
            const std::string after = std::string(command) == "propagate" ? " 0" : "";
            EXPECT_EQ(RunTool(std::string(command) + " " + Folder.Path + file + after).Status, 2) << command << file;
        }
}

TEST_F(TleToolFormsTest, VerifyListsDamagedAndImplausibleSets)
{
    const std::vector<std::string> lines = Catalogue();
    std::string clean;
    for (std::size_t i = 0; i < 9; ++i)
        clean += lines[i] + "\r\n";
    Folder.Write("clean.txt", "# comment\n" + clean);
    Folder.Write("cut.txt", clean + lines[9] + "\n" + lines[10].substr(0, 40));
    const struct {
        const char* Files;
        int Status;
        std::string Output;
    } cases[] = {
        {"clean.txt", 0, "3 sets, 0 damaged, 0 implausible\n"},
        {"cut.txt clean.txt", 3, "cut.txt: damaged: line 11 is cut short\n7 sets, 1 damaged, 0 implausible\n"},
        {"sets.txt", 3,
         "sets.txt: implausible: line 93, mean motion 0.00000000 not within 0-20 revolutions a day\n"
         "300 sets, 0 damaged, 1 implausible\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Files);
        std::string arguments;
        for (const std::string& file : Split(c.Files))
            arguments += " " + Folder.Path + "/" + file;
        const TRun run = RunTool("verify" + arguments);
        EXPECT_EQ(run.Status, c.Status);
        EXPECT_EQ(Replaced(run.Output, Folder.Path + "/", ""), c.Output);
    }
}

TEST(TleToolCommandLine, OptionsMayStandAnywhere)
{
    TTempFolder folder;
    std::string text;
    for (const std::string& line : Catalogue())
        text += line + "\r\n";
    std::filesystem::create_directory(folder.Path + "/keps");
    folder.Write("keps/sets.txt", text);
    const std::string keps = folder.Path + "/keps";
    const TRun before = RunTool("dump --attributes " + keps);
    ASSERT_EQ(before.Status, 0);
    EXPECT_FALSE(before.Output.empty());
    const TRun after = RunTool("dump " + keps + " --attributes");
    EXPECT_EQ(after.Status, 0);
    EXPECT_EQ(after.Output, before.Output);
    EXPECT_EQ(RunTool("check " + keps + "/sets.txt --help").Output.rfind("Usage: elsetry-tle", 0), 0u);
    EXPECT_EQ(RunTool("dump --frobnicate " + keps).Status, 1);
    EXPECT_EQ(RunTool("check --attributes " + keps + "/sets.txt").Status, 1);
    // Negative minutes are no options.
    EXPECT_EQ(RunTool("propagate " + keps + "/sets.txt -90 0").Status, 0);
    EXPECT_EQ(RunTool("dump -- --attributes").Status, 2) << "after \"--\" a word is a file";
    // Standard error, piped on: a name's C1 byte reaches no terminal as a control.
    EXPECT_EQ(RunTool("check " + keps + "/W$(printf '\\233')2J.txt 2>&1 | cat").Output,
              "elsetry-tle: " + keps + "/W\\x9b2J.txt: no such file\n");
}

// Two sets of one name are one satellite: the merge is said, and --all prints both.
TEST(TleToolCommandLine, DumpAndPropagateSayWhatTheyMergedAndAllPrintsEverySet)
{
    TTempFolder folder;
    std::string text;
    for (const std::string& line : Catalogue())
        text += line + "\r\n";
    const std::string file = folder.Write("sets.txt", text);
    const auto lineCount = [](const std::string& Text) { return std::count(Text.begin(), Text.end(), '\n'); };
    for (const std::string command : {"dump ", "propagate "}) {
        SCOPED_TRACE(command);
        const std::string after = command == "dump " ? "" : " 0";
        const TRun merged = RunTool(command + file + after);
        const TRun all = RunTool(command + "--all " + file + after);
        ASSERT_EQ(merged.Status, 0);
        ASSERT_EQ(all.Status, 0);
        EXPECT_EQ(lineCount(all.Output), lineCount(merged.Output) + 1);
        EXPECT_EQ(RunTool(command + file + after + " 2>&1 >/dev/null #").Output,
                  "elsetry-tle: 1 of 299 sets merged by name or number (each into the set of the latest epoch); "
                  "--all prints every set\n");
        EXPECT_EQ(RunTool(command + "--all " + file + after + " 2>&1 >/dev/null #").Output, "");
    }
    EXPECT_EQ(RunTool("check --all " + file).Status, 1);
}

// Names are any text in the CSV and JSON forms; the element lines of a set whose name opens like
// those forms still load as element lines.
const char* const NamesLikeOtherForms[] = {"{ODD NAME}", "[]", "[ {", "OBJECT_NAME,NORAD_CAT_ID"};

std::vector<std::string> CatalogueNamed(const char* FirstName)
{
    std::vector<std::string> lines = Catalogue();
    lines[0] = FirstName;
    return lines;
}

TEST_F(TleToolFormsTest, DumpTakesNamesThatOpenLikeTheOtherForms)
{
    for (const char* name : NamesLikeOtherForms) {
        const std::vector<std::string> lines = CatalogueNamed(name);
        Folder.Write("odd.csv", CatalogueAsOmmCsv(lines));
        Folder.Write("odd.json", CatalogueAsOmmJson(lines));
        for (const char* file : {"/odd.csv", "/odd.json"}) {
            const TRun dumped = RunTool("dump " + Folder.Path + file);
            ASSERT_EQ(dumped.Status, 0) << name << file;
            EXPECT_NE(("\n" + dumped.Output).find("\n" + std::string(name) + "\t"), std::string::npos) << name << file;
        }
    }
}

TEST_F(TleToolFormsTest, CheckTakesNamesThatOpenLikeTheOtherForms)
{
    Folder.Write("plain.csv", CatalogueAsOmmCsv(CatalogueNamed("PLAIN NAME")));
    const TRun plain = RunTool("check " + Folder.Path + "/plain.csv");
    ASSERT_EQ(plain.Status, 0);
    ASSERT_NE(plain.Output.find("unique names"), std::string::npos);
    for (const char* name : NamesLikeOtherForms) {
        const std::vector<std::string> lines = CatalogueNamed(name);
        Folder.Write("odd.csv", CatalogueAsOmmCsv(lines));
        Folder.Write("odd.json", CatalogueAsOmmJson(lines));
        for (const char* file : {"/odd.csv", "/odd.json"}) {
            const TRun checked = RunTool("check " + Folder.Path + file);
            EXPECT_EQ(checked.Status, 0) << name << file;
            EXPECT_EQ(checked.Output, plain.Output) << name << file;
        }
    }
}

// A catalogue large enough for the sets to be shared between threads, with sets that do not load
// and names given twice, so that check names missing ones.
std::string LargeCatalogueText(const char* LineEnd)
{
    TCatalogueOptions options;
    options.Count = 9000;
    options.Seed = 5;
    std::vector<std::string> lines = GenerateCatalogue(options);
    for (std::size_t set = 20; set < lines.size() / 3; set += 37)
        lines[3 * set] = lines[3 * (set - 7)]; // a name given twice
    for (std::size_t set = 30; set < lines.size() / 3; set += 41)
        lines[3 * set + 2].replace(52, 11, " 0.00000000"); // no mean motion
    for (std::size_t set = 40; set < lines.size() / 3; set += 43)
        lines[3 * set] = "lower case " + std::to_string(set);
    std::string text = std::string("# a comment line") + LineEnd;
    for (const std::string& line : lines)
        text += line + LineEnd;
    return text;
}

TEST(TleToolCommandLine, EveryThreadCountPrintsTheSame)
{
    TTempFolder folder;
    for (const char* lineEnd : {"\n", "\r\n", "\r"}) {
        const std::string file = folder.Write("large.txt", LargeCatalogueText(lineEnd));
        const TRun one = RunTool("check --threads 1 " + file);
        ASSERT_EQ(one.Status, 0);
        EXPECT_EQ(one.Output.rfind("      9000 satellites, ", 0), 0u) << one.Output;
        EXPECT_NE(one.Output.find("         Missing: "), std::string::npos);
        EXPECT_NE(one.Output.find("         ... and "), std::string::npos);
        for (const char* threads : {"2", "3", "256"}) {
            const TRun other = RunTool("check " + file + " --threads " + threads);
            EXPECT_EQ(other.Status, 0);
            EXPECT_EQ(other.Output, one.Output) << threads << " threads";
        }
        EXPECT_EQ(RunTool("check " + file).Output, one.Output) << "one thread for each core";
    }
    const TRun dumped = RunTool("dump --attributes --threads 1 " + folder.Path + "/large.txt");
    ASSERT_EQ(dumped.Status, 0);
    EXPECT_EQ(RunTool("dump --threads 4 --attributes " + folder.Path + "/large.txt").Output, dumped.Output);
    const TRun propagated = RunTool("propagate --threads 1 " + folder.Path + "/large.txt 0 720");
    ASSERT_EQ(propagated.Status, 0);
    EXPECT_EQ(RunTool("propagate " + folder.Path + "/large.txt 0 --threads 2 720").Output, propagated.Output);
}

TEST(TleToolCommandLine, ThreadCountsOutsideOneTo256AreUsageErrors)
{
    TTempFolder folder;
    const std::string file = folder.Write("sets.txt", LargeCatalogueText("\n"));
    const std::pair<std::string, int> cases[] = {
        {"check --threads 1 " + file, 0},           {"check --threads 256 " + file, 0},
        {"check --threads +2 " + file, 0},          {"check --threads 0 " + file, 1},
        {"check --threads 257 " + file, 1},         {"check --threads -1 " + file, 1},
        {"check --threads x " + file, 1},           {"check --threads 2x " + file, 1},
        {"check --threads 1.5 " + file, 1},         {"check --threads '' " + file, 1},
        {"check --threads 99999999999 " + file, 1}, {"check " + file + " --threads", 1}, // no count
        {"dump " + file + " --threads 0", 1},       {"propagate " + file + " 0 --threads 300", 1},
    };
    for (const auto& [arguments, status] : cases) {
        const TRun run = RunTool(arguments);
        EXPECT_EQ(run.Status, status) << arguments;
        if (status != 0) {
            EXPECT_TRUE(run.Output.empty()) << arguments;
        }
    }
}

} // namespace
} // namespace elsetry::test
