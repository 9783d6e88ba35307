#include "platform/TextFile.h"
#include "tests/download/DownloadSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <filesystem>

namespace elsetry::test {
namespace {

bool HasEvent(const TLines& Events, const std::string& Event)
{
    return std::find(Events.begin(), Events.end(), Event) != Events.end();
}

// Two groups with earlier files; the first stalls halfway for StallMs.
struct TStalledWorld : TDownloadWorld {
    explicit TStalledWorld(int StallMs)
    {
        const TLines sets = Catalogue(400);
        ServeGroup(2, sets);
        ServeGroup(4, TLines(sets.begin(), sets.begin() + 3));
        Choose(2, "FullCatalog.txt");
        Choose(4, "Geo.txt");
        WriteText(Saved("FullCatalog.txt"), "earlier\r\n");
        WriteText(Saved("Geo.txt"), "earlier too\r\n");
        service::TServiceFaults faults;
        faults.StalledGroups = {2};
        faults.StallTime = std::chrono::milliseconds(StallMs);
        Service->SetFaults(faults);
    }
};

TEST(CancelRun, HostIsKeptAliveThroughAStalledRequest)
{
    TStalledWorld world(2500);
    EXPECT_EQ(world.Run(), TDownloadOutcome::Completed);
    // libcurl reports at least once a second during the pause, and on every piece before it.
    EXPECT_GE(world.Host.KeepAlives, 2);
    EXPECT_NE(ReadWholeFile(world.Saved("FullCatalog.txt")), "earlier\r\n");
}

// Cancel pressed while the first group stalls: nothing more is asked, the session is closed and
// both files stay as they were.
TEST(CancelRun, CancelAbandonsTheRequestLogsOutAndKeepsTheFiles)
{
    TStalledWorld world(20000);
    world.Host.WhileAlive = [&world] {
        if (HasEvent(world.Host.Events, "status Getting FullCatalog.txt"))
            world.Session.Cancel();
    };
    EXPECT_EQ(world.Run(), TDownloadOutcome::Cancelled);
    EXPECT_EQ(ReadWholeFile(world.Saved("FullCatalog.txt")), "earlier\r\n");
    EXPECT_EQ(ReadWholeFile(world.Saved("Geo.txt")), "earlier too\r\n");
    EXPECT_FALSE(HasEvent(world.Host.Events, "status Getting Geo.txt"));
    const TLines log = world.Host.Only("log");
    ASSERT_GE(log.size(), 2U);
    EXPECT_EQ(log[log.size() - 2], "Logged out of Space-Track");
    EXPECT_EQ(log.back(), "Cancelled");
    EXPECT_FALSE(HasEvent(world.Host.Events, "error cancelled"));
    EXPECT_TRUE(world.Host.Only("message").empty()) << "a cancelled run asks nothing";
    EXPECT_EQ(TLines(world.Host.Summary.begin() + 1, world.Host.Summary.end()),
              (TLines{"   FullCatalog.txt: failed (cancelled), 0 satellites kept",
                      "   Geo.txt: not fetched (cancelled), 0 satellites kept"}))
        << "every chosen file is named";

    // The next run is not cancelled by the last one's button.
    world.Host.WhileAlive = nullptr;
    service::TServiceFaults none;
    world.Service->SetFaults(none);
    EXPECT_EQ(world.Run(), TDownloadOutcome::Completed);
}

// What a service manager or the terminal sends to end the program ends a run as Cancel does;
// after the run the signals act as they did before.
TEST(CancelRun, SignalsToEndTheProcessCancelTheRun)
{
    for (const int signal : {SIGTERM, SIGINT, SIGHUP}) {
        SCOPED_TRACE(signal);
        struct sigaction before {};
        ::sigaction(signal, nullptr, &before);
        if (before.sa_handler == SIG_IGN)
            continue; // ignored on purpose (under nohup): it stays ignored
        TStalledWorld world(20000);
        world.Host.WhileAlive = [&world, signal] {
            if (HasEvent(world.Host.Events, "status Getting FullCatalog.txt"))
                std::raise(signal);
        };
        EXPECT_EQ(world.Run(), TDownloadOutcome::Cancelled);
        EXPECT_EQ(ReadWholeFile(world.Saved("FullCatalog.txt")), "earlier\r\n");
        EXPECT_FALSE(HasEvent(world.Host.Events, "status Getting Geo.txt"));
        const TLines log = world.Host.Only("log");
        ASSERT_GE(log.size(), 2U);
        EXPECT_EQ(log[log.size() - 2], "Logged out of Space-Track");
        EXPECT_EQ(log.back(), "Cancelled");
        EXPECT_TRUE(std::filesystem::is_empty(world.Temp)) << "no temporary is left";
        struct sigaction after {};
        ::sigaction(signal, nullptr, &after);
        EXPECT_EQ(after.sa_handler, before.sa_handler);
    }
}

} // namespace
} // namespace elsetry::test
