// The HTTP client against the stand-in service: what counts as a failure, redirects, bounds.

#include "download/sources/DownloadExchange.h"
#include "platform/HttpClient.h"
#include "tests/download/DownloadSupport.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

namespace elsetry::test {
namespace {

class HttpClientTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        World.ServeGroup(2, Catalogue(10));
        World.ServeGroup(4, Catalogue(3));
        Client.PostForm(Url("/perl/login.pl"), LoginForm("observer", "secret"));
    }
    std::string Url(const std::string& Path) const { return World.Service->Address() + Path; }
    std::string GroupFour() const { return service::GzipText(LfText(Catalogue(3))); }

    TDownloadWorld World;
    THttpClient Client;
};

// Each hop would be a request no usage count sees, so none is followed, on the same service or
// to another, nor a redirect of a posted form (the login's password would go again).
TEST_F(HttpClientTest, RedirectsAreNeverFollowed)
{
    TDownloadWorld other;
    other.ServeGroup(4, Catalogue(3));
    const std::pair<std::string, std::string> cases[] = {
        {"/perl/dl.pl?ID=2", Url("/perl/dl.pl?ID=2")}, // a loop
        {Url("/perl/dl.pl?ID=4"), Url("/perl/dl.pl?ID=4")},
        {other.Service->Address() + "/perl/dl.pl?ID=4", other.Service->Address() + "/perl/dl.pl?ID=4"},
        {"http://x/\x9b\x1b[2J", "http://x/\\x9b\\x1b[2J"}, // shown escaped
    };
    for (const auto& [location, shown] : cases) {
        SCOPED_TRACE(location);
        service::TServiceFaults faults;
        faults.RedirectedGroups = {{2, location}};
        World.Service->SetFaults(faults);
        World.Service->ClearRequests();
        try {
            Client.GetText(Url("/perl/dl.pl?ID=2"));
            ADD_FAILURE() << "followed";
        } catch (const EHttpError& Error) {
            EXPECT_EQ(Error.what(), "redirected to " + shown + " (HTTP 302)");
            EXPECT_EQ(Error.Status(), 302);
        }
        EXPECT_EQ(World.Service->Requests().size(), 1u);
    }
    EXPECT_TRUE(other.Service->Requests().empty());
}

TEST_F(HttpClientTest, FailuresRaiseAndLeaveNoErrorPageInTheFile)
{
    struct TCase {
        const char* What;
        std::string Path;
        void (*Fault)(service::TServiceFaults&);
    };
    const TCase cases[] = {
        {"error status", "/perl/dl.pl?ID=2", [](service::TServiceFaults& F) { F.ErrorGroups = {2}; }},
        {"no such group", "/perl/dl.pl?ID=99", [](service::TServiceFaults&) {}},
        {"no route", "/elsewhere", [](service::TServiceFaults&) {}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.What);
        service::TServiceFaults faults;
        c.Fault(faults);
        World.Service->SetFaults(faults);
        const std::string path = World.Root.Path + "/answer";
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        EXPECT_THROW(Client.GetToFile(Url(c.Path), fd), EHttpError);
        ::close(fd);
        EXPECT_EQ(ReadWholeFile(path), "");
    }
}

TEST_F(HttpClientTest, AnswersAreBounded)
{
    Client.SetMaxAnswerBytes(GroupFour().size() - 1);
    EXPECT_THROW(Client.GetText(Url("/perl/dl.pl?ID=4")), EHttpError);
    Client.SetMaxAnswerBytes(GroupFour().size());
    EXPECT_EQ(Client.GetText(Url("/perl/dl.pl?ID=4")), GroupFour());
}

// Each failure raises with the short reason the run logs in brackets after the file name.
TEST_F(HttpClientTest, FailuresGiveTheirShortReason)
{
    struct TCase {
        const char* What;
        void (*Setup)(service::TServiceFaults&, THttpClient&);
        std::string Path;
        const char* Reason;
    };
    const TCase cases[] = {
        {"error status", [](service::TServiceFaults& F, THttpClient&) { F.ErrorGroups = {2}; }, "/perl/dl.pl?ID=2",
         "HTTP 500"},
        {"no such group", [](service::TServiceFaults&, THttpClient&) {}, "/perl/dl.pl?ID=99", "HTTP 404"},
        {"connection cut halfway", [](service::TServiceFaults& F, THttpClient&) { F.CutGroups = {2}; },
         "/perl/dl.pl?ID=2", "connection cut"},
        {"nothing arrives for the read time-out",
         [](service::TServiceFaults& F, THttpClient& C) {
             F.StalledGroups = {2};
             F.StallTime = std::chrono::milliseconds(4000);
             C.SetReadTimeout(1000);
         },
         "/perl/dl.pl?ID=2", "timed out after 1 s"},
        {"nothing arrives for a read time-out of part of a second",
         [](service::TServiceFaults& F, THttpClient& C) {
             F.StalledGroups = {2};
             F.StallTime = std::chrono::milliseconds(4000);
             C.SetReadTimeout(1250);
         },
         "/perl/dl.pl?ID=2", "timed out after 1.25 s"},
        {"a few bytes now and then",
         [](service::TServiceFaults& F, THttpClient& C) {
             F.TrickledGroups = {2};
             F.TrickleBytes = 4;
             F.TricklePause = std::chrono::milliseconds(100);
             C.SetLowSpeedLimit(1024, 1);
         },
         "/perl/dl.pl?ID=2", "too slow"},
        {"fast enough, but too long in all",
         [](service::TServiceFaults& F, THttpClient& C) {
             F.TrickledGroups = {2};
             F.PlainGroups = {2};
             F.TrickleBytes = 64;
             F.TricklePause = std::chrono::milliseconds(50);
             C.SetTimeLimit(700);
         },
         "/perl/dl.pl?ID=2", "took too long"},
        {"redirected to another service",
         [](service::TServiceFaults& F, THttpClient&) { F.RedirectedGroups = {{2, "http://192.0.2.1/x"}}; },
         "/perl/dl.pl?ID=2", "redirected to http://192.0.2.1/x (HTTP 302)"},
        {"answer too large", [](service::TServiceFaults&, THttpClient& C) { C.SetMaxAnswerBytes(10); },
         "/perl/dl.pl?ID=4", "answer larger than 10 bytes"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.What);
        THttpClient client;
        client.PostForm(Url("/perl/login.pl"), LoginForm("observer", "secret"));
        service::TServiceFaults faults;
        c.Setup(faults, client);
        World.Service->SetFaults(faults);
        try {
            client.GetText(Url(c.Path));
            ADD_FAILURE() << "the request did not fail";
        } catch (const EHttpError& Error) {
            EXPECT_STREQ(Error.what(), c.Reason);
            const std::string reason = c.Reason;
            EXPECT_EQ(Error.Status(), reason.starts_with("HTTP ")           ? std::stol(reason.substr(5))
                                      : reason.starts_with("redirected") ? 302L
                                                                         : 0L);
        }
    }
}

// A proxy's 407 says more than its number; the status stays for the source to read.
TEST(HttpClientProxyRefusal, StatusOf407NamesTheProxyCredentials)
{
    service::TServiceOptions options;
    options.CelesTrakGroups = true;
    options.Faults.GpErrors = {{"*", 407}};
    TDownloadWorld world(options);
    THttpClient client;
    try {
        client.GetText(world.Service->Address() + "/NORAD/elements/gp.php?GROUP=weather&FORMAT=csv");
        ADD_FAILURE() << "the request did not fail";
    } catch (const EHttpError& Error) {
        EXPECT_STREQ(Error.what(), "proxy refused the credentials (407)");
        EXPECT_EQ(Error.Status(), 407);
    }
}

TEST(HttpClientCertificate, ServiceWithAnUnknownAuthorityIsNotTrusted)
{
    TTempFolder keys;
    service::TServiceOptions options;
    options.CertificateFile = keys.Path + "/certificate.pem";
    options.KeyFile = keys.Path + "/key.pem";
    service::MakeTestCertificate(options.CertificateFile, options.KeyFile);
    TDownloadWorld world(options);
    THttpClient client;
    try {
        client.GetText(world.Service->Address() + "/perl/logout.pl");
        ADD_FAILURE() << "a certificate of no known authority was trusted";
    } catch (const EHttpError& Error) {
        EXPECT_STREQ(Error.what(), "certificate not trusted");
    }
}

TEST_F(HttpClientTest, RefusedConnectionAndAFullDiskGiveTheirOwnReason)
{
    const std::string nobody = "http://127.0.0.1:" + std::to_string(FreeLoopbackPort()) + "/perl/logout.pl";
    try {
        Client.GetText(nobody);
        ADD_FAILURE() << "nothing listens there";
    } catch (const EHttpError& Error) {
        EXPECT_STREQ(Error.what(), "connection refused");
    }
    const int full = ::open("/dev/full", O_WRONLY | O_CLOEXEC);
    ASSERT_GE(full, 0);
    try {
        Client.GetToFile(Url("/perl/dl.pl?ID=4"), full);
        ADD_FAILURE() << "the body was written to a full device";
    } catch (const EHttpError& Error) {
        EXPECT_STREQ(Error.what(), "cannot write the download: No space left on device");
    }
    ::close(full);
}

// About 5 kB a second for well over the low-speed period of a second.
TEST_F(HttpClientTest, LimitsLeaveAnAnswerThatKeepsMovingAlone)
{
    World.ServeGroup(2, Catalogue(40));
    service::TServiceFaults faults;
    faults.TrickledGroups = {2};
    faults.PlainGroups = {2};
    faults.TrickleBytes = 256;
    faults.TricklePause = std::chrono::milliseconds(50);
    World.Service->SetFaults(faults);
    Client.SetLowSpeedLimit(1024, 1);
    Client.SetTimeLimit(20000);
    Client.SetReadTimeout(1000);
    EXPECT_EQ(Client.GetText(Url("/perl/dl.pl?ID=2")), LfText(Catalogue(40)));
}

} // namespace
} // namespace elsetry::test
