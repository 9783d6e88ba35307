#include "elements/SatelliteSetup.h"

#include "elements/SatelliteAttributes.h"
#include "elements/SatelliteList.h"
#include "elements/SharedTurns.h"
#include "orbit/SGP_Math.h"
#include "tests/support/TestElementSets.h"
#include "tools/catalogue/CatalogueGenerator.h"

#include "tests/support/PlainText.h"
#include "tests/support/ReferenceList.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <bit>
#include <algorithm>
#include <cctype>
#include <set>
#include <cstdint>
#include <cstring>
#include <map>
#include <memory>
#include <stdexcept>
#include <thread>
#include <sstream>
#include <string>
#include <vector>

using namespace elsetry;
using namespace elsetry::test;

namespace {

// ---------------------------------------------------------------------------------------------
// Helpers shared by the tests below.

std::string Joined(const std::vector<std::string>& Lines, const char* LineEnd = "\n")
{
    std::string text;
    for (const std::string& line : Lines)
        text += line + LineEnd;
    return text;
}

// Sets in a text made of ThreeLines sets.
int SetCount(const std::string& Text)
{
    return static_cast<int>(std::count(Text.begin(), Text.end(), '\n') / 3);
}

bool Inside(std::string_view Piece, std::string_view Whole)
{
    return Piece.data() >= Whole.data() && Piece.data() + Piece.size() <= Whole.data() + Whole.size();
}

// Every field two satellites show, doubles by their bits: "" when they agree, else the fields
// that differ.
std::string Differences(const TSatellite& A, const TSatellite& B)
{
    std::ostringstream out;
    const auto text = [&](const char* field, std::string_view a, std::string_view b) {
        if (a != b)
            out << field << " \"" << a << "\" / \"" << b << "\"; ";
    };
    const auto real = [&](const char* field, double a, double b) {
        if (std::bit_cast<std::uint64_t>(a) != std::bit_cast<std::uint64_t>(b))
            out << field << ' ' << a << " / " << b << "; ";
    };
    const auto whole = [&](const char* field, long long a, long long b) {
        if (a != b)
            out << field << ' ' << a << " / " << b << "; ";
    };
    text("Name", A.Name, B.Name);
    text("CatalogueNumber", A.CatalogueNumber, B.CatalogueNumber);
    text("ElementSetNumber", std::string_view(A.ElementSetNumber, sizeof A.ElementSetNumber),
         std::string_view(B.ElementSetNumber, sizeof B.ElementSetNumber));
    text("Line1", A.Line1, B.Line1);
    text("Line2", A.Line2, B.Line2);
    text("SourceFileName", A.SourceFileName, B.SourceFileName);
    text("Notes", A.Notes, B.Notes);
    real("RevolutionNumber", A.RevolutionNumber, B.RevolutionNumber);
    real("SignedValue", A.SignedValue, B.SignedValue);
    real("DownlinkFrequency", A.DownlinkFrequency, B.DownlinkFrequency);
    real("LdDateJulian", A.LdDateJulian, B.LdDateJulian);
    whole("LineRate", A.LineRate, B.LineRate);
    whole("SatelliteKind", static_cast<int>(A.SatelliteKind), static_cast<int>(B.SatelliteKind));
    whole("NoaaSeries", A.NoaaSeries, B.NoaaSeries);
    real("HalfAngle", A.HalfAngle, B.HalfAngle);
    whole("DeepSpace", A.DeepSpace, B.DeepSpace);
    real("MeanAnomaly", A.MeanAnomaly, B.MeanAnomaly);
    real("AscendingNode", A.AscendingNode, B.AscendingNode);
    real("ArgumentOfPerigee", A.ArgumentOfPerigee, B.ArgumentOfPerigee);
    real("Eccentricity", A.Eccentricity, B.Eccentricity);
    real("Inclination", A.Inclination, B.Inclination);
    real("MeanMotion", A.MeanMotion, B.MeanMotion);
    real("MeanMotionDotOver2", A.MeanMotionDotOver2, B.MeanMotionDotOver2);
    real("MeanMotionDDotOver6", A.MeanMotionDDotOver6, B.MeanMotionDDotOver6);
    real("DragTerm", A.DragTerm, B.DragTerm);
    real("EpochJulian", A.EpochJulian, B.EpochJulian);
    real("EpochYearDay", A.EpochYearDay, B.EpochYearDay);
    whole("ModelInitPending", A.ModelInitPending, B.ModelInitPending);
    whole("SimpleDrag", A.SimpleDrag, B.SimpleDrag);
    whole("Resonant", A.Resonant, B.Resonant);
    whole("Synchronous", A.Synchronous, B.Synchronous);
    real("ArgumentOfLatitude", A.ArgumentOfLatitude, B.ArgumentOfLatitude);
    return out.str();
}

// Position and velocity half a day after epoch, as bits, or a mark when the model gives up; the
// model's inner state shows in them.
std::vector<std::uint64_t> PropagatedBits(TSatellite& S)
{
    double position[3] = {};
    double velocity[3] = {};
    try {
        S.PropagateToTime(position, velocity, S.EpochJulian + 0.5);
    } catch (const EMathError&) {
        return {0xdeadULL};
    }
    std::vector<std::uint64_t> bits;
    for (const double value : position)
        bits.push_back(std::bit_cast<std::uint64_t>(value));
    for (const double value : velocity)
        bits.push_back(std::bit_cast<std::uint64_t>(value));
    bits.push_back(std::bit_cast<std::uint64_t>(S.ArgumentOfLatitude));
    return bits;
}

// ---------------------------------------------------------------------------------------------
// Finding the sets of a text.

struct TExpectedSet {
    std::string NameLine;
    std::string Line1;
    std::string Line2;
};

using TExpectedSets = std::vector<TExpectedSet>;

TEST(FindElementSetsTest, GroupsNameLineLineOneAndLineTwo)
{
    const std::string a1 = LineOne("11111");
    const std::string a2 = LineTwo("11111");
    const std::string b1 = LineOne("22222");
    const std::string b2 = LineTwo("22222");
    const std::string short67(67, 'x'); // one short of every field of a line
    const std::string long68(68, 'y');  // just long enough
    const std::string cut2 = a2.substr(0, 40);
    struct TCase {
        const char* What;
        std::string Text;
        TExpectedSets Sets;
    };
    const TCase cases[] = {
        {"empty", "", {}},
        {"blank lines only", "\n \r\n\t\r--\n", {}},
        {"one set", "A\n" + a1 + "\n" + a2 + "\n", {{"A", a1, a2}}},
        {"no final line end", "A\n" + a1 + "\n" + a2, {{"A", a1, a2}}},
        {"CR LF", "A\r\n" + a1 + "\r\n" + a2 + "\r\nB\r\n" + b1 + "\r\n" + b2 + "\r\n", {{"A", a1, a2}, {"B", b1, b2}}},
        {"CR", "A\r" + a1 + "\r" + a2 + "\rB\r" + b1 + "\r" + b2 + "\r", {{"A", a1, a2}, {"B", b1, b2}}},
        {"mixed line ends", "A\r" + a1 + "\n" + a2 + "\r\nB\n" + b1 + "\r\n" + b2, {{"A", a1, a2}, {"B", b1, b2}}},
        {"blank lines and -- between sets",
         "\n--\n  \nA\n" + a1 + "\n" + a2 + "\n\n--\n  --  \n\t\nB\n" + b1 + "\n" + b2 + "\n\n--\n",
         {{"A", a1, a2}, {"B", b1, b2}}},
        {"--- and - are names",
         "---\n" + a1 + "\n" + a2 + "\n-\n" + b1 + "\n" + b2 + "\n",
         {{"---", a1, a2}, {"-", b1, b2}}},
        {"short lines before line 1 and before line 2",
         "A\nshort line\n\n" + short67 + "\n" + a1 + "\n--\n" + short67 + "\n" + a2 + "\n",
         {{"A", a1, a2}}},
        {"68 characters make a line", "A\n" + long68 + "\n" + long68 + "\n", {{"A", long68, long68}}},
        {"blanks and controls around the name",
         "  \t ISS (ZARYA) \t \r\n" + a1 + "\r\n" + a2 + "\r\n\x01 B \x7f\n" + b1 + "\n" + b2 + "\n",
         {{"ISS (ZARYA)", a1, a2}, {"B \x7f", b1, b2}}},
        {"long names stay whole here",
         "  a very long satellite name indeed  \n" + a1 + "\n" + a2 + "\n",
         {{"a very long satellite name indeed", a1, a2}}},
        {"a name line at the end begins no set", "A\n" + a1 + "\n" + a2 + "\nNAME ONLY\n", {{"A", a1, a2}}},
        {"a name line at the very end", "A\n" + a1 + "\n" + a2 + "\nNAME ONLY", {{"A", a1, a2}}},
        {"a line 1 at the end begins no set", "A\n" + a1 + "\n" + a2 + "\nB\n" + b1 + "\n", {{"A", a1, a2}}},
        {"a line 1 followed by short lines only",
         "A\n" + a1 + "\n" + a2 + "\nB\n" + b1 + "\nshort\n\n",
         {{"A", a1, a2}, {"B", b1, ""}}},
        {"the last short line stands in for line 2", "B\n" + b1 + "\nshort\n--", {{"B", b1, "--"}}},
        {"a cut line 2 still ends a set", "A\n" + a1 + "\n" + cut2, {{"A", a1, cut2}}},
        {"a cut line 2 with a line end", "A\n" + a1 + "\n" + cut2 + "\r\n", {{"A", a1, cut2}}},
        {"short lines after the name, then the end", "A\nshort\n\n", {}},
        {"bare two-line sets are misread", a1 + "\n" + a2 + "\n" + b1 + "\n" + b2 + "\n", {{a1, a2, b1}}},
        {"a long line as a name", long68 + "\n" + a1 + "\n" + a2 + "\n", {{long68, a1, a2}}},
    };
    for (const TCase& c : cases) {
        const std::vector<TSetLines> sets = FindElementSets(c.Text);
        ASSERT_EQ(sets.size(), c.Sets.size()) << c.What;
        for (std::size_t i = 0; i < sets.size(); ++i) {
            EXPECT_EQ(sets[i].NameLine, c.Sets[i].NameLine) << c.What << ", set " << i;
            EXPECT_EQ(sets[i].Line1, c.Sets[i].Line1) << c.What << ", set " << i;
            EXPECT_EQ(sets[i].Line2, c.Sets[i].Line2) << c.What << ", set " << i;
            for (const std::string_view view : {sets[i].NameLine, sets[i].Line1, sets[i].Line2})
                EXPECT_TRUE(view.empty() || Inside(view, c.Text)) << c.What << ": the sets view the text";
        }
    }
}

// A generated catalogue cut at every line: the sets found are those of the whole lines before
// the cut, and a last set whose line 2 the cut shortens.
TEST(FindElementSetsTest, ACutTextKeepsTheSetsBeforeTheCut)
{
    TCatalogueOptions options;
    options.Count = 20;
    const std::vector<std::string> lines = GenerateCatalogue(options);
    for (const char* lineEnd : {"\n", "\r\n", "\r"}) {
        const std::string text = Joined(lines, lineEnd);
        std::size_t lineStart = 0;
        for (std::size_t line = 0; line < lines.size(); ++line) {
            for (const std::size_t into : {std::size_t{0}, std::size_t{1}, lines[line].size()}) {
                const std::string cut = text.substr(0, lineStart + into);
                const std::vector<TSetLines> sets = FindElementSets(cut);
                // A cut inside line 2 still ends its set; a cut anywhere earlier does not.
                const std::size_t expected = line / 3 + (line % 3 == 2 && into > 0 ? 1 : 0);
                ASSERT_EQ(sets.size(), expected) << "cut in line " << line << " after " << into;
                if (expected > 0) {
                    const std::size_t last = expected - 1;
                    EXPECT_EQ(sets[last].NameLine, lines[3 * last]);
                    EXPECT_EQ(sets[last].Line1, lines[3 * last + 1]);
                    EXPECT_EQ(sets[last].Line2,
                              std::string_view(lines[3 * last + 2]).substr(0, sets[last].Line2.size()));
                }
            }
            lineStart += lines[line].size() + std::strlen(lineEnd);
        }
    }
}

// ---------------------------------------------------------------------------------------------
// Setting up the satellites of the sets.

// A satellite set up by hand the way the setup must do it.
struct TExpectedSatellite {
    std::string Line1;
    std::string Line2;
    std::string Name;
    TSatellite Satellite;

    TExpectedSatellite(std::string_view RawLine1, std::string_view RawLine2, std::string ExpectedName,
                       std::string_view FileName)
        : Line1(PlainUpperCase(std::string(RawLine1))), Line2(PlainUpperCase(std::string(RawLine2))),
          Name(std::move(ExpectedName))
    {
        Satellite.ParseElements(Line1, Line2);
        Satellite.Name = Name;
        ApplyDefaultAttributes(Satellite);
        Satellite.SourceFileName = FileName;
        Satellite.PropagateToOwnEpoch();
    }
};

TEST(SetUpSatellitesTest, DecodesNamesAndLinesAsTheListShowsThem)
{
    std::string lowerLine1 = LineOne("2554a");
    lowerLine1[7] = 'u';
    const std::string lowerLine2 = LineTwo("2554a") + "  extra text";
    const std::string noaa1 = LineOne("28654");
    const std::string noaa2 = LineTwo("28654", "14.12500000");
    const std::string text = Joined({
        "  iss (zarya)  ", lowerLine1, lowerLine2,                                 // lower case
        "NOAA-N", noaa1, noaa2,                                                    // renamed
        "BROKEN", LineOne("44444"), LineTwo("44445"),                              // numbers differ
        "STOPPED", LineOne("55555"), LineTwo("55555", "00.00000000"),              // no mean motion
        "WRONG FIRST", WithColumns(LineOne("66666"), 1, "3"), LineTwo("66666"),    // not a line 1
        "BLANK NUMBER", LineOne("     "), LineTwo("     "),                        // no number
        "UPPER", LineOne("77777"), LineTwo("77777"),                               // upper case
        "CUT", LineOne("88888"), LineTwo("88888").substr(0, 30),                   // line 2 cut short
    });
    const std::vector<TSetLines> sets = FindElementSets(text);
    ASSERT_EQ(sets.size(), 8u);
    const std::string fileName = "small.tle";
    for (const unsigned threads : {1u, 4u, 0u}) {
        TSatelliteBlock block(sets.size());
        TTextArena copies;
        TDeepSpaceStates deepStates;
        SetUpSatellites(sets, block, fileName, threads, copies, deepStates);
        ASSERT_EQ(block.Size(), sets.size());
        const bool decoded[] = {true, true, false, false, false, false, true, false};
        for (std::size_t i = 0; i < sets.size(); ++i)
            EXPECT_EQ(block.IsDecoded(i), decoded[i]) << "set " << i << " on " << threads << " threads";

        const TExpectedSatellite iss(lowerLine1, lowerLine2, "ISS (ZARYA)", fileName);
        EXPECT_EQ(Differences(block[0], iss.Satellite), "");
        EXPECT_EQ(block[0].CatalogueNumber, "2554A");
        EXPECT_TRUE(block[0].Line2.ends_with("  EXTRA TEXT"));
        // Lower-case names and lines are copies; upper-case ones view the text itself.
        EXPECT_FALSE(Inside(block[0].Name, text));
        EXPECT_FALSE(Inside(block[0].Line1, text));
        EXPECT_EQ(block[0].CatalogueNumber.data(), block[0].Line1.data() + 2);
        EXPECT_EQ(block[0].SourceFileName.data(), fileName.data());

        const TExpectedSatellite noaa(noaa1, noaa2, "NOAA 18", fileName);
        EXPECT_EQ(Differences(block[1], noaa.Satellite), "");
        EXPECT_TRUE(block[1].NoaaSeries);

        const TExpectedSatellite upper(LineOne("77777"), LineTwo("77777"), "UPPER", fileName);
        EXPECT_EQ(Differences(block[6], upper.Satellite), "");
        EXPECT_TRUE(Inside(block[6].Name, text));
        EXPECT_TRUE(Inside(block[6].Line1, text));
        EXPECT_TRUE(Inside(block[6].Line2, text));
        EXPECT_EQ(block[6].CatalogueNumber.data(), block[6].Line1.data() + 2);
    }
}

TEST(SetUpSatellitesTest, AnEmptyTextHasNoSets)
{
    const std::vector<TSetLines> sets = FindElementSets("");
    TSatelliteBlock block(sets.size());
    TTextArena copies;
    TDeepSpaceStates deepStates;
    SetUpSatellites(sets, block, "empty.txt", 8, copies, deepStates);
    EXPECT_EQ(block.Size(), 0u);
}

// A large catalogue with sets that do not decode and names and lines in lower case, the way a
// load sees one.
std::vector<std::string> MixedCatalogue(int Count, std::uint64_t Seed, double FirstDay, int FirstNumber)
{
    TCatalogueOptions options;
    options.Count = Count;
    options.Seed = Seed;
    options.FirstEpochDay = FirstDay;
    options.FirstNumber = FirstNumber;
    std::vector<std::string> lines = GenerateCatalogue(options);
    for (std::size_t set = 0; set < lines.size() / 3; ++set) {
        std::string& name = lines[3 * set];
        std::string& line1 = lines[3 * set + 1];
        std::string& line2 = lines[3 * set + 2];
        if (set % 3 == 1)
            name = PlainLowerCase(name);
        if (set % 5 == 2)
            line1[7] = 'u';
        if (set % 89 == 11)
            line2.replace(52, 11, " 0.00000000"); // no mean motion: does not decode
        if (set % 83 == 13)
            line2[6] = line2[6] == '9' ? '8' : '9'; // its number differs from line 1's
        if (set % 79 == 17)
            name = "  " + name + " \t";
    }
    return lines;
}

// Shares run on threads kept from one to the next: shares asked for from several threads at once,
// a share within a turn, a failure, and a child made by fork, which has none of the kept threads.
TEST(ShareOutTurnsTest, EveryTurnIsTakenOnceWhereverTheShareIsAskedFor)
{
    const auto share = [](std::size_t Turns, unsigned Threads) {
        std::vector<std::atomic<int>> taken(Turns);
        ShareOutTurns(Turns, Threads, [&](std::size_t Turn, unsigned) {
            ShareOutTurns(2, 2, [](std::size_t, unsigned) {});
            ++taken[Turn];
        });
        return std::all_of(taken.begin(), taken.end(), [](const std::atomic<int>& Count) { return Count == 1; });
    };
    std::vector<int> fine(3);
    {
        std::vector<std::jthread> askers;
        for (int& result : fine)
            askers.emplace_back([&result, &share] {
                for (int i = 0; i < 20; ++i)
                    result += share(500, 3) ? 1 : 0;
            });
    }
    EXPECT_EQ(fine, std::vector<int>(3, 20));
    EXPECT_THROW(ShareOutTurns(100, 2,
                               [](std::size_t Turn, unsigned) {
                                   if (Turn == 50)
                                       throw std::runtime_error("turn 50");
                               }),
                 std::runtime_error);
    EXPECT_EQ(RunAside([] { return true; }).get(), true);
    EXPECT_THROW(RunAside([]() -> bool { throw std::runtime_error("aside"); }).get(), std::runtime_error);
    const pid_t child = ::fork();
    if (child == 0) {
        ::alarm(20); // a share waiting on its parent's threads would hang
        ::_exit(share(500, 3) && RunAside([] { return true; }).get() ? 0 : 1);
    }
    int status = -1;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
}

// Threads take the sets in turns; whatever thread sets up a satellite, it comes out the same.
TEST(SetUpSatellitesTest, EveryThreadCountSetsUpTheSameSatellites)
{
    const std::string text = Joined(MixedCatalogue(12000, 3, 300.0, 40000), "\r\n");
    const std::vector<TSetLines> sets = FindElementSets(text);
    ASSERT_EQ(sets.size(), 12000u);
    TSatelliteBlock one(sets.size());
    TTextArena oneCopies;
    TDeepSpaceStates oneDeepStates;
    SetUpSatellites(sets, one, "mixed.txt", 1, oneCopies, oneDeepStates);
    std::size_t decoded = 0;
    for (std::size_t i = 0; i < sets.size(); ++i) {
        if (!one.IsDecoded(i))
            continue;
        ++decoded;
        ASSERT_EQ(one[i].Name, PlainUpperCase(std::string(sets[i].NameLine))) << i;
        ASSERT_EQ(one[i].Line1, PlainUpperCase(std::string(sets[i].Line1))) << i;
        ASSERT_EQ(one[i].Line2, PlainUpperCase(std::string(sets[i].Line2))) << i;
    }
    EXPECT_GT(decoded, 11500u);
    EXPECT_LT(decoded, 12000u);
    // Propagating changes a satellite, so the one-thread satellites are propagated last.
    std::map<unsigned, std::vector<std::vector<std::uint64_t>>> propagated;
    for (const unsigned threads : {2u, 3u, 6u, 0u}) {
        auto block = std::make_unique<TSatelliteBlock>(sets.size());
        auto copies = std::make_unique<TTextArena>();
        auto deepStates = std::make_unique<TDeepSpaceStates>();
        SetUpSatellites(sets, *block, "mixed.txt", threads, *copies, *deepStates);
        for (std::size_t i = 0; i < sets.size(); ++i) {
            ASSERT_EQ(block->IsDecoded(i), one.IsDecoded(i)) << "set " << i << " on " << threads << " threads";
            if (one.IsDecoded(i)) {
                ASSERT_EQ(Differences((*block)[i], one[i]), "") << "set " << i << " on " << threads << " threads";
            }
        }
        for (std::size_t i = 0; i < sets.size(); ++i)
            propagated[threads].push_back(one.IsDecoded(i) ? PropagatedBits((*block)[i])
                                                           : std::vector<std::uint64_t>());
    }
    for (std::size_t i = 0; i < sets.size(); ++i) {
        if (!one.IsDecoded(i))
            continue;
        const std::vector<std::uint64_t> bits = PropagatedBits(one[i]);
        for (const auto& [threads, others] : propagated)
            ASSERT_EQ(others[i], bits) << "set " << i << " on " << threads << " threads";
    }
}

// ---------------------------------------------------------------------------------------------
// The list: the same entries whatever the number of threads, by the rules of the list.

// Two catalogues of partly the same satellites with epochs that overlap, names moved onto other
// numbers, sets repeated with their epoch under other names, names and numbers in lower case,
// and sets that do not decode: about twenty thousand sets in two texts.
struct TDuplicatedCatalogue {
    std::string First;
    std::string Second;

    TDuplicatedCatalogue()
    {
        const std::vector<std::string> a = MixedCatalogue(10000, 1, 300.0, 40000);
        std::vector<std::string> b = MixedCatalogue(9000, 2, 305.0, 45000);
        for (std::size_t set = 0; set < b.size() / 3; ++set) {
            if (set % 50 == 3)
                b[3 * set] = a[3 * ((set * 7) % (a.size() / 3))]; // a name another number has
            if (set % 61 == 9)
                b[3 * set] = PlainLowerCase(a[3 * ((set * 13) % (a.size() / 3))]);
        }
        // Sets of the first catalogue again, epoch and all, under other names: equal epochs.
        for (std::size_t set = 0; set < a.size() / 3; set += 200) {
            b.push_back("TIE " + std::to_string(set));
            b.push_back(a[3 * set + 1]);
            b.push_back(a[3 * set + 2]);
        }
        // Letter-form numbers, in lower case in some sets.
        TCatalogueOptions letters;
        letters.Count = 400;
        letters.Seed = 4;
        letters.FirstNumber = 99800;
        letters.Alpha5 = true;
        std::vector<std::string> c = GenerateCatalogue(letters);
        for (std::size_t set = 11; set < c.size() / 3; set += 3) {
            c[3 * set + 1][2] = static_cast<char>(std::tolower(static_cast<unsigned char>(c[3 * set + 1][2])));
            c[3 * set + 2][2] = static_cast<char>(std::tolower(static_cast<unsigned char>(c[3 * set + 2][2])));
        }
        First = Joined(a, "\r\n") + Joined(std::vector<std::string>(c.begin(), c.begin() + 600), "\n");
        Second = Joined(b, "\n") + Joined(std::vector<std::string>(c.begin() + 300, c.end()), "\r\n");
    }
};

const TDuplicatedCatalogue& Duplicated()
{
    static const TDuplicatedCatalogue catalogue;
    return catalogue;
}

struct TLoaded {
    std::unique_ptr<TSatelliteList> List = std::make_unique<TSatelliteList>();
    std::vector<int> Decoded;
};

TLoaded LoadTexts(const std::vector<std::pair<std::string, std::string>>& Texts, unsigned Threads)
{
    TLoaded loaded;
    loaded.List->SetLoadThreads(Threads);
    for (const auto& [text, fileName] : Texts)
        loaded.Decoded.push_back(loaded.List->LoadFromText(text, fileName));
    return loaded;
}

void ExpectAsTheRulesSay(const TSatelliteList& List, const TReferenceList& Reference)
{
    const std::vector<const TReferenceList::TEntry*> entries = Reference.Entries();
    ASSERT_EQ(List.Count(), static_cast<int>(entries.size()));
    for (int i = 0; i < List.Count(); ++i) {
        const TSatellite& s = *List.GetSatellite(i);
        const TReferenceList::TEntry& e = *entries[static_cast<std::size_t>(i)];
        ASSERT_EQ(s.Name, e.Name) << i;
        ASSERT_EQ(s.CatalogueNumber, e.Number) << e.Name;
        ASSERT_EQ(s.Line1, e.Line1) << e.Name;
        ASSERT_EQ(s.Line2, e.Line2) << e.Name;
        ASSERT_EQ(s.SourceFileName, e.FileName) << e.Name;
        ASSERT_EQ(std::bit_cast<std::uint64_t>(s.EpochJulian), std::bit_cast<std::uint64_t>(e.Epoch)) << e.Name;
        ASSERT_EQ(List.IndexOf(e.Name), i);
        ASSERT_EQ(List.IndexOfCatalogueNumber(e.Number), i);
    }
}

void ExpectSameLists(const TSatelliteList& List, const TSatelliteList& Other, unsigned Threads)
{
    ASSERT_EQ(List.Count(), Other.Count()) << Threads << " threads";
    for (int i = 0; i < List.Count(); ++i)
        ASSERT_EQ(Differences(*List.GetSatellite(i), *Other.GetSatellite(i)), "")
            << "entry " << i << " on " << Threads << " threads";
}

// Propagating changes a satellite: only once every comparison of fields is done.
std::vector<std::vector<std::uint64_t>> PropagatedEntries(const TSatelliteList& List)
{
    std::vector<std::vector<std::uint64_t>> bits;
    for (int i = 0; i < List.Count(); ++i)
        bits.push_back(PropagatedBits(*List.GetSatellite(i)));
    return bits;
}

TEST(SatelliteListThreadsTest, EveryThreadCountLoadsTheSameListByTheRules)
{
    const TDuplicatedCatalogue& catalogue = Duplicated();
    const std::vector<std::pair<std::string, std::string>> oneText = {
        {catalogue.First + catalogue.Second, "/keps/all.txt"}};
    const std::vector<std::pair<std::string, std::string>> twoTexts = {{catalogue.First, "/keps/first.txt"},
                                                                       {catalogue.Second, "second.tle"}};
    for (const auto* texts : {&oneText, &twoTexts}) {
        TReferenceList reference;
        std::vector<int> decoded;
        for (const auto& [text, fileName] : *texts)
            decoded.push_back(reference.Load(text, fileName));
        const TLoaded single = LoadTexts(*texts, 1);
        EXPECT_EQ(single.Decoded, decoded);
        ExpectAsTheRulesSay(*single.List, reference);
        std::map<unsigned, std::vector<std::vector<std::uint64_t>>> propagated;
        for (const unsigned threads : {2u, 3u, 8u}) {
            const TLoaded loaded = LoadTexts(*texts, threads);
            EXPECT_EQ(loaded.Decoded, single.Decoded) << threads << " threads";
            ExpectSameLists(*loaded.List, *single.List, threads);
            propagated[threads] = PropagatedEntries(*loaded.List);
        }
        const std::vector<std::vector<std::uint64_t>> bits = PropagatedEntries(*single.List);
        for (const auto& [threads, others] : propagated)
            EXPECT_TRUE(others == bits) << "positions after half a day differ on " << threads << " threads";
    }
}

// The catalogue holds what the rules are about, so that the test above tries them all.
TEST(SatelliteListThreadsTest, TheDuplicatedCatalogueTriesEveryRule)
{
    const TDuplicatedCatalogue& catalogue = Duplicated();
    TReferenceList reference;
    const int decoded = reference.Load(catalogue.First, "first.txt") + reference.Load(catalogue.Second, "second.txt");
    EXPECT_GT(decoded, 19000);
    EXPECT_LT(decoded, static_cast<int>(FindElementSets(catalogue.First + catalogue.Second).size()));
    const TReferenceList::TRulesMet& met = reference.Met;
    EXPECT_GT(met.New, 10000);
    EXPECT_GT(met.Newer, 100);
    EXPECT_GT(met.NewerRenamed, 10);
    EXPECT_GT(met.NewerRenumbered, 10);
    EXPECT_GT(met.NameEntryGone, 10);
    EXPECT_GT(met.Tie, 100);
    EXPECT_GT(met.Older, 100);
}

// ---------------------------------------------------------------------------------------------
// The rules across texts, and on several threads.

class SatelliteListAcrossTextsTest : public testing::TestWithParam<unsigned> {
protected:
    SatelliteListAcrossTextsTest() { List.SetLoadThreads(GetParam()); }

    std::vector<std::string> Names() const
    {
        std::vector<std::string> names;
        for (int i = 0; i < List.Count(); ++i)
            names.emplace_back(List.NameAt(i));
        return names;
    }

    std::string FileOf(std::string_view Name) const
    {
        const int index = List.IndexOf(Name);
        return index < 0 ? "" : std::string(List.GetSatellite(index)->SourceFileName);
    }

    std::string NumberOf(std::string_view Name) const
    {
        const int index = List.IndexOf(Name);
        return index < 0 ? "" : std::string(List.GetSatellite(index)->CatalogueNumber);
    }

    TSatelliteList List;
};

using TNames = std::vector<std::string>;

TEST_P(SatelliteListAcrossTextsTest, LatestEpochWinsAcrossTexts)
{
    struct TCase {
        const char* What;
        std::string First;
        std::string Second;
        TNames Names;
        std::map<std::string, std::pair<std::string, std::string>> NumberAndFile; // by name
    };
    const TCase cases[] = {
        {"a newer set replaces the entry",
         ThreeLines("A", "11111", "08264.5"),
         ThreeLines("A", "11111", "08265.5"),
         {"A"},
         {{"A", {"11111", "second.txt"}}}},
        {"an older set is dropped",
         ThreeLines("A", "11111", "08265.5"),
         ThreeLines("A", "11111", "08264.5"),
         {"A"},
         {{"A", {"11111", "first.txt"}}}},
        {"at equal epochs the listed entry stays",
         ThreeLines("A", "11111", "08264.5"),
         ThreeLines("A", "11111", "08264.5"),
         {"A"},
         {{"A", {"11111", "first.txt"}}}},
        {"equal epochs under another name",
         ThreeLines("A", "11111", "08264.5"),
         ThreeLines("B", "11111", "08264.5"),
         {"A"},
         {{"A", {"11111", "first.txt"}}}},
        {"a newer set under a known number renames the entry",
         ThreeLines("OLD NAME", "11111", "08264.5"),
         ThreeLines("NEW NAME", "11111", "08265.5"),
         {"NEW NAME"},
         {{"NEW NAME", {"11111", "second.txt"}}}},
        {"an older set under a known number and a new name is dropped",
         ThreeLines("OLD NAME", "11111", "08265.5"),
         ThreeLines("NEW NAME", "11111", "08264.5"),
         {"OLD NAME"},
         {{"OLD NAME", {"11111", "first.txt"}}}},
        {"a newer set of a known name under a new number renumbers the entry",
         ThreeLines("A", "11111", "08264.5"),
         ThreeLines("A", "22222", "08265.5"),
         {"A"},
         {{"A", {"22222", "second.txt"}}}},
        {"an older set of a known name under a new number is dropped",
         ThreeLines("A", "11111", "08265.5"),
         ThreeLines("A", "22222", "08264.5"),
         {"A"},
         {{"A", {"11111", "first.txt"}}}},
        {"names compare upper-cased",
         ThreeLines("Mixed Case", "11111", "08264.5"),
         ThreeLines("mixed case", "22222", "08265.5"),
         {"MIXED CASE"},
         {{"MIXED CASE", {"22222", "second.txt"}}}},
        {"letter-form numbers compare upper-cased",
         ThreeLines("A", "E8493", "26190.5"),
         ThreeLines("B", "e8493", "26191.5"),
         {"B"},
         {{"B", {"E8493", "second.txt"}}}},
        // The entry of its number decides; the entry of its name goes with it when it wins.
        {"newer than both entries it meets",
         ThreeLines("ALPHA", "11111", "08264.5") + ThreeLines("BRAVO", "22222", "08264.5"),
         ThreeLines("BRAVO", "11111", "08265.5"),
         {"BRAVO"},
         {{"BRAVO", {"11111", "second.txt"}}}},
        {"newer than the name's entry, older than the number's",
         ThreeLines("ALPHA", "11111", "08266.5") + ThreeLines("BRAVO", "22222", "08264.5"),
         ThreeLines("BRAVO", "11111", "08265.5"),
         {"ALPHA", "BRAVO"},
         {{"ALPHA", {"11111", "first.txt"}}, {"BRAVO", {"22222", "first.txt"}}}},
        {"newer than the number's entry, older than the name's",
         ThreeLines("ALPHA", "11111", "08264.5") + ThreeLines("BRAVO", "22222", "08266.5"),
         ThreeLines("BRAVO", "11111", "08265.5"),
         {"BRAVO"},
         {{"BRAVO", {"11111", "second.txt"}}}},
        {"a chain of renames within the second text",
         ThreeLines("A", "11111", "08264.5"),
         ThreeLines("B", "11111", "08265.5") + ThreeLines("C", "11111", "08266.5")
             + ThreeLines("A", "22222", "08263.5"),
         {"A", "C"},
         {{"A", {"22222", "second.txt"}}, {"C", {"11111", "second.txt"}}}},
    };
    for (const TCase& c : cases) {
        List.Clear();
        EXPECT_EQ(List.LoadFromText(c.First, "/keps/first.txt"), SetCount(c.First)) << c.What;
        EXPECT_EQ(List.LoadFromText(c.Second, "second.txt"), SetCount(c.Second)) << c.What;
        EXPECT_EQ(Names(), c.Names) << c.What;
        for (const auto& [name, numberAndFile] : c.NumberAndFile) {
            EXPECT_EQ(NumberOf(name), numberAndFile.first) << c.What << ": " << name;
            EXPECT_EQ(FileOf(name), numberAndFile.second) << c.What << ": " << name;
            EXPECT_EQ(List.IndexOfCatalogueNumber(numberAndFile.first), List.IndexOf(name)) << c.What << ": " << name;
        }
    }
}

// A replaced satellite is no entry any more but stays where it was: whoever still holds it reads
// what it read before, while the entries that were not replaced stay the same satellites.
TEST_P(SatelliteListAcrossTextsTest, SatellitesOfEarlierTextsStayReadableWhenReplaced)
{
    struct TSeen {
        const TSatellite* Satellite;
        std::string Name;
        std::string Number;
        std::string Line1;
        std::string Line2;
        std::string FileName;
        double Epoch;
    };
    // Lower-case names and lines, so that what the first satellites view are copies.
    TCatalogueOptions options;
    options.Count = 5000;
    std::vector<std::string> first = GenerateCatalogue(options);
    for (std::size_t set = 0; set < first.size() / 3; set += 2) {
        first[3 * set] = PlainLowerCase(first[3 * set]);
        first[3 * set + 1][7] = 'u';
    }
    auto firstText = std::make_shared<const std::string>(Joined(first));
    List.LoadFromText(firstText, "/keps/first.txt");
    firstText.reset(); // the list holds it now
    std::vector<TSeen> seen;
    for (int i = 0; i < List.Count(); ++i) {
        const TSatellite* s = List.GetSatellite(i);
        seen.push_back({s, std::string(s->Name), std::string(s->CatalogueNumber), std::string(s->Line1),
                        std::string(s->Line2), std::string(s->SourceFileName), s->EpochJulian});
    }
    ASSERT_EQ(seen.size(), 5000u);

    // Every other set again, ten days later; then more texts, so that the list grows on.
    options.Seed = 9;
    options.FirstEpochDay = 320.0;
    const std::vector<std::string> newer = GenerateCatalogue(options);
    std::vector<std::string> second;
    for (std::size_t set = 1; set < newer.size() / 3; set += 2)
        second.insert(second.end(), newer.begin() + static_cast<std::ptrdiff_t>(3 * set),
                      newer.begin() + static_cast<std::ptrdiff_t>(3 * set + 3));
    std::set<std::string> replaced;
    for (std::size_t line = 0; line < second.size(); line += 3)
        replaced.insert(PlainUpperCase(second[line]));
    EXPECT_EQ(List.LoadFromText(Joined(second), "second.txt"), 2500);
    for (int more = 0; more < 3; ++more) {
        TCatalogueOptions others;
        others.Count = 3000;
        others.Seed = 20 + static_cast<std::uint64_t>(more);
        others.FirstNumber = 60000 + 5000 * more;
        std::vector<std::string> lines = GenerateCatalogue(others);
        lines.erase(lines.begin(), lines.begin() + 33); // not the known satellites again
        for (std::string& line : lines)
            line = PlainLowerCase(line);
        List.LoadFromText(Joined(lines), "more.txt");
    }
    ASSERT_EQ(List.Count(), 5000 + 3 * 2989);
    ASSERT_EQ(replaced.size(), 2500u);

    for (std::size_t i = 0; i < seen.size(); ++i) {
        const TSeen& was = seen[i];
        ASSERT_EQ(was.Satellite->Name, was.Name);
        ASSERT_EQ(was.Satellite->CatalogueNumber, was.Number);
        ASSERT_EQ(was.Satellite->Line1, was.Line1);
        ASSERT_EQ(was.Satellite->Line2, was.Line2);
        ASSERT_EQ(was.Satellite->SourceFileName, was.FileName);
        ASSERT_EQ(was.Satellite->EpochJulian, was.Epoch);
        const int index = List.IndexOf(was.Name);
        ASSERT_GE(index, 0) << was.Name;
        const TSatellite* now = List.GetSatellite(index);
        if (replaced.contains(was.Name)) {
            ASSERT_NE(now, was.Satellite) << was.Name << " was replaced";
            ASSERT_EQ(now->SourceFileName, "second.txt");
            ASSERT_GT(now->EpochJulian, was.Epoch);
        } else {
            ASSERT_EQ(now, was.Satellite) << was.Name << " stays the same satellite";
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Threads, SatelliteListAcrossTextsTest, testing::Values(1u, 3u),
                         [](const testing::TestParamInfo<unsigned>& Info) {
                             return std::to_string(Info.param) + "Threads";
                         });

} // namespace
