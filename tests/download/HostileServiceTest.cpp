// A service that answers a group with status 200 and something other than its whole element sets:
// damaged, implausible or far too few. The earlier file stays byte for byte and nothing is reported
// as saved; sets that do not belong in an answer that is saved are left out of it.

#include "elementfiles/ElementCheck.h"
#include "tests/download/DownloadSupport.h"
#include "tests/download/RecordingHost.h"
#include "tests/support/TestElementSets.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>

namespace elsetry::test {
namespace {

bool Logged(const TDownloadRecordingHost& Host, const std::string& Line)
{
    const TLines log = Host.Only("log");
    return std::find(log.begin(), log.end(), Line) != log.end();
}

// A line number that depends on where the stand-in cut the text reads as "#".
std::string WithoutLineNumber(std::string Line)
{
    const std::size_t at = Line.find("line ");
    if (at != std::string::npos && at + 5 < Line.size() && std::isdigit(static_cast<unsigned char>(Line[at + 5]))) {
        const std::size_t end = Line.find_first_not_of("0123456789", at + 5);
        Line.replace(at + 5, end - at - 5, "#");
    }
    return Line;
}

bool LoggedFailure(const TDownloadRecordingHost& Host, const std::string& FileName, const std::string& Reason)
{
    const std::string expected = "   Failed: " + FileName + " (" + Reason + "), the earlier file is kept";
    for (const std::string& line : Host.Only("log"))
        if (line == expected || WithoutLineNumber(line) == expected)
            return true;
    return false;
}

TEST(HostileService, OddBodiesWithStatus200KeepTheEarlierFile)
{
    struct TCase {
        const char* What;
        service::TOddBody Body;
        const char* Reason;
    };
    const TCase cases[] = {
        {"a login page", service::TOddBody::HtmlPage, "not element sets"},
        {"random bytes", service::TOddBody::BinaryBytes, "not element sets"},
        {"a newline bomb", service::TOddBody::NewlineBomb, "too large"},
        {"a transfer cut inside a line", service::TOddBody::CutMidLine, "damaged answer: line # is cut short"},
        {"half the group, then random bytes", service::TOddBody::HalfThenGarbage,
         "damaged answer: line 601 is too long for a name line"},
        {"wrong checksums", service::TOddBody::BadChecksums, "damaged answer: line 2 has a wrong checksum"},
        {"line 1 of one set with line 2 of the next", service::TOddBody::CrossedLines,
         "damaged answer: line 3 carries another catalogue number than its line 1"},
        {"a name line of 1 MB", service::TOddBody::LongLines, "damaged answer: line 4 is too long for a name line"},
        {"control characters in a name", service::TOddBody::ControlCharacters,
         "damaged answer: line 1 holds a control character"},
        {"every set dated 2056", service::TOddBody::FutureEpoch,
         "no plausible set; first left out: line 2, epoch 56001.00000000 more than a day after the run"},
        {"one set where the earlier file held 400", service::TOddBody::OneSet,
         "the answer holds 1 set, the earlier file 400"},
    };
    const std::string earlier = CrLf(Catalogue(400, 290));
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.What);
        TDownloadWorld world;
        world.ServeGroup(20, Catalogue(400));
        world.Choose(20, "Amateur.txt");
        TDownloadWorld::WriteText(world.Saved("Amateur.txt"), earlier);
        service::TServiceFaults faults;
        faults.OddGroups = {{20, c.Body}};
        world.Service->SetFaults(faults);

        world.Run();
        EXPECT_EQ(ReadWholeFile(world.Saved("Amateur.txt")), earlier);
        EXPECT_FALSE(Logged(world.Host, "   Saved: Amateur.txt"));
        EXPECT_TRUE(LoggedFailure(world.Host, "Amateur.txt", c.Reason)) << testing::PrintToString(world.Host.Only("log"));
        EXPECT_EQ(FolderNames(world.Host.Kepler), TLines{"Amateur.txt"});
        EXPECT_TRUE(std::filesystem::is_empty(world.Temp));
    }
}

// Answers that are saved, less what does not belong in them.
TEST(HostileService, SetsThatDoNotBelongAreLeftOut)
{
    struct TCase {
        const char* What;
        service::TServiceFaults Faults;
        bool List;
        TLines Log;
        std::size_t SavedSets;
    };
    service::TServiceFaults implausible;
    implausible.OddGroups = {{20, service::TOddBody::ImplausibleValues}};
    service::TServiceFaults others;
    others.QueryAnswersAll = true;
    const TCase cases[] = {
        {"every second set with an inclination of 999.9999", implausible, false,
         {"   Saved: Amateur.txt", "      20 implausible sets left out (first: line 6, inclination 999.9999 outside 0-180)",
          "      20 satellites"},
         20},
        {"a list query answered with every set", others, true,
         {"   Saved: Favourites.txt", "      38 sets not asked for left out (first: line 1, 21263)", "      2 satellites"},
         2},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.What);
        TDownloadWorld world;
        world.ServeGroup(20, Catalogue(40));
        if (c.List) {
            world.Host.Inputs.Favourites = {"25544", "33591"};
            world.Host.Inputs.FavouritesFileName = "Favourites.txt";
        } else {
            world.Choose(20, "Amateur.txt");
        }
        world.Service->SetFaults(c.Faults);
        EXPECT_EQ(world.Run(), TDownloadOutcome::Completed);
        TLines log = world.Host.Only("log");
        const auto saved = std::find(log.begin(), log.end(), c.Log.front());
        ASSERT_NE(saved, log.end()) << testing::PrintToString(log);
        EXPECT_EQ(TLines(saved, saved + static_cast<std::ptrdiff_t>(c.Log.size())), c.Log);
        const std::string file = world.Saved(c.List ? "Favourites.txt" : "Amateur.txt");
        EXPECT_EQ(CompleteSetCount(ReadWholeFile(file)), static_cast<int>(c.SavedSets));
    }
}

// A historic file that cannot be kept is a failure of the run, though every download was saved.
TEST(HostileService, HistoricFileNotKeptFailsTheRun)
{
    TDownloadWorld world;
    world.Host.Extra = {"25544=iss.txt"};
    std::filesystem::create_directory(world.Host.Historic + "iss.txt");
    world.ServeGroup(20, Catalogue(40));
    world.Choose(20, "Amateur.txt");

    EXPECT_EQ(world.Run(), TDownloadOutcome::PartlyFailed);
    EXPECT_TRUE(Logged(world.Host, "   Saved: Amateur.txt"));
    EXPECT_TRUE(Logged(world.Host, "      Historic file not updated: iss.txt (not a regular file)"));
}

} // namespace
} // namespace elsetry::test
