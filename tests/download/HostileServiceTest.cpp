// A service that answers a group with status 200 and something other than its element sets: the
// earlier file stays byte for byte and nothing is reported as saved.

#include "tests/download/DownloadSupport.h"
#include "tests/download/RecordingHost.h"
#include "tests/support/TestElementSets.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace elsetry::test {
namespace {

bool Logged(const TDownloadRecordingHost& Host, const std::string& Line)
{
    const TLines log = Host.Only("log");
    return std::find(log.begin(), log.end(), Line) != log.end();
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
    };
    const std::string earlier = CrLf(Catalogue(20));
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
        EXPECT_TRUE(Logged(world.Host, "   Failed: Amateur.txt (" + std::string(c.Reason) + "), the earlier file is kept"));
        EXPECT_EQ(FolderNames(world.Host.Kepler), TLines{"Amateur.txt"});
        EXPECT_TRUE(std::filesystem::is_empty(world.Temp));
    }
}

TEST(HostileService, SetsDatedFarAheadAreSavedButNotAppendedToHistoricFiles)
{
    TDownloadWorld world;
    std::filesystem::create_directory(world.Host.Historic);
    const std::string history = LineOne("25544", "08100.00000000") + "\r\n" + LineTwo("25544") + "\r\n";
    TDownloadWorld::WriteText(world.Host.Historic + "iss.txt", history);
    world.Host.Extra = {"25544=iss.txt"};
    world.ServeGroup(24, {"ISS (ZARYA)", LineOne("25544"), LineTwo("25544")});
    world.Choose(24, "Special.txt");
    service::TServiceFaults faults;
    faults.OddGroups = {{24, service::TOddBody::FutureEpoch}};
    world.Service->SetFaults(faults);

    world.Run();
    EXPECT_TRUE(Logged(world.Host, "   Saved: Special.txt"));
    EXPECT_TRUE(Logged(world.Host, "      Historic file not extended: iss.txt (epoch in the future)"));
    EXPECT_EQ(ReadWholeFile(world.Host.Historic + "iss.txt"), history);
}

} // namespace
} // namespace elsetry::test
