// Download runs through a real proxy: tinyproxy on loopback with Basic authentication.

#include "tests/download/DownloadSupport.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace elsetry::test {
namespace {

const char* const ProxyUser = "relay";
const char* const ProxyPassword = "pa55word";

bool Accepts(int Port)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<std::uint16_t>(Port));
    const bool connected = ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    ::close(fd);
    return connected;
}

// tinyproxy started through the project's script for the whole suite, and stopped after it.
class ProxyTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        Folder = std::make_unique<TTempFolder>();
        // The proxy drops to an unprivileged user when started as root; it must reach its log.
        std::filesystem::permissions(Folder->Path, std::filesystem::perms::all);
        Port = FreeLoopbackPort();
        const std::string port = std::to_string(Port);
        Proxy = ::fork();
        if (Proxy == 0) {
            ::execl(ELSETRY_START_TEST_PROXY, ELSETRY_START_TEST_PROXY, Folder->Path.c_str(), port.c_str(), ProxyUser,
                    ProxyPassword, static_cast<char*>(nullptr));
            ::_exit(127);
        }
        for (int attempt = 0; attempt < 100 && !Accepts(Port); ++attempt)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }

    static void TearDownTestSuite()
    {
        if (Proxy > 0) {
            ::kill(Proxy, SIGTERM);
            ::waitpid(Proxy, nullptr, 0);
        }
        Folder.reset();
    }

    void SetUp() override
    {
        ASSERT_TRUE(Accepts(Port)) << "tinyproxy did not start";
        World.ServeGroup(2, Catalogue(3));
        World.Choose(2, "FullCatalog.txt");
        World.Host.Inputs.ProxyServer = "127.0.0.1";
        World.Host.Inputs.ProxyPort = std::to_string(Port);
    }

    // Whether every request the service received in the last run came through the proxy.
    bool AllThroughProxy() const
    {
        const auto requests = World.Service->Requests();
        return !requests.empty() && std::all_of(requests.begin(), requests.end(), [](const auto& Request) {
                   return Request.Header("Via").find("tinyproxy") != std::string::npos;
               });
    }

    static inline std::unique_ptr<TTempFolder> Folder;
    static inline pid_t Proxy = -1;
    static inline int Port = 0;
    TDownloadWorld World;
};

TEST_F(ProxyTest, RunWithCredentialsGoesThroughTheProxy)
{
    World.Host.Inputs.ProxyUserName = ProxyUser;
    World.Host.Inputs.ProxyPassword = ProxyPassword;
    EXPECT_EQ(World.Run(), TDownloadOutcome::Completed);
    EXPECT_TRUE(FileExists(World.Saved("FullCatalog.txt")));
    EXPECT_TRUE(AllThroughProxy());
}

TEST_F(ProxyTest, RunWithoutCredentialsIsRefusedByTheProxy)
{
    EXPECT_EQ(World.Run(), TDownloadOutcome::Unreachable);
    // tinyproxy refuses a plain request with 401 where other proxies answer 407.
    EXPECT_EQ(World.Host.Only("message"),
              TLines{"Error connecting to the Space-Track Web site\n" + World.Host.Inputs.SpaceTrackAddress
                     + ": HTTP 401"});
    EXPECT_TRUE(World.Service->Requests().empty());
}

TEST_F(ProxyTest, PortThatIsNotANumberKeepsTheEarlierPort)
{
    World.Host.Inputs.ProxyUserName = ProxyUser;
    World.Host.Inputs.ProxyPassword = ProxyPassword;
    ASSERT_EQ(World.Run(), TDownloadOutcome::Completed);
    for (const char* port : {"80x", ""}) {
        SCOPED_TRACE(port);
        World.Host.Inputs.ProxyPort = port;
        World.Service->ClearRequests();
        EXPECT_EQ(World.Run(), TDownloadOutcome::Completed);
        EXPECT_EQ(World.Session.Client().ProxyPortNumber(), Port);
        EXPECT_TRUE(AllThroughProxy());
    }
}

TEST_F(ProxyTest, EmptiedServerFieldSwitchesTheProxyOffAtTheNextRun)
{
    World.Host.Inputs.ProxyUserName = ProxyUser;
    World.Host.Inputs.ProxyPassword = ProxyPassword;
    ASSERT_EQ(World.Run(), TDownloadOutcome::Completed);
    ASSERT_TRUE(AllThroughProxy());
    World.Host.Inputs.ProxyServer = "";
    World.Service->ClearRequests();
    EXPECT_EQ(World.Run(), TDownloadOutcome::Completed);
    const auto requests = World.Service->Requests();
    ASSERT_EQ(requests.size(), 4U);
    for (const auto& request : requests)
        EXPECT_FALSE(request.HasHeader("Via")) << request.Target;
    EXPECT_EQ(World.Session.Client().ProxyHostName(), "");
    EXPECT_EQ(World.Session.Client().ProxyUser(), "");
    EXPECT_EQ(World.Session.Client().ProxyPass(), "");
}

TEST_F(ProxyTest, CredentialsChangeOnlyWithTheServerAndAreClearedWithIt)
{
    World.Host.Inputs.ProxyUserName = ProxyUser;
    World.Host.Inputs.ProxyPassword = ProxyPassword;
    ASSERT_EQ(World.Run(), TDownloadOutcome::Completed);
    World.Host.Inputs.ProxyUserName = "";
    EXPECT_EQ(World.Run(), TDownloadOutcome::Unreachable);
    EXPECT_EQ(World.Session.Client().ProxyUser(), "");
    EXPECT_EQ(World.Session.Client().ProxyPass(), "");
}

// A second stand-in plays the proxy, so that the first request as the proxy got it can be seen.
TEST(ProxyCredentials, AreNotSentBeforeTheProxyAsksForThem)
{
    TDownloadWorld fakeProxy;
    TDownloadWorld world;
    world.Host.Inputs.ProxyServer = "127.0.0.1";
    world.Host.Inputs.ProxyPort = std::to_string(fakeProxy.Service->Port());
    world.Host.Inputs.ProxyUserName = ProxyUser;
    world.Host.Inputs.ProxyPassword = ProxyPassword;
    world.Run();
    const auto requests = fakeProxy.Service->Requests();
    ASSERT_FALSE(requests.empty());
    EXPECT_EQ(requests[0].Target, world.Service->Address() + "/perl/logout.pl");
    EXPECT_FALSE(requests[0].HasHeader("Proxy-Authorization"));
}

} // namespace
} // namespace elsetry::test
