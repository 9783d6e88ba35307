// A run that cannot reach the service or log in: the box's second line says where and why, the
// log keeps that line and the status line says the run ended.

#include "tests/download/DownloadSupport.h"

#include <gtest/gtest.h>

#include <functional>

namespace elsetry::test {
namespace {

struct TReasonCase {
    const char* What;
    // Sets up the world; gives the address the run asks.
    std::function<std::string(TDownloadWorld&)> Arrange;
    std::string Reason;
};

TEST(FailureReason, ServiceThatDoesNotAnswerSaysWhy)
{
    TTempFolder keys;
    const std::string certificate = keys.Path + "/certificate.pem";
    service::MakeTestCertificate(certificate, keys.Path + "/key.pem");
    service::TServiceOptions secure;
    secure.CertificateFile = certificate;
    secure.KeyFile = keys.Path + "/key.pem";

    const TReasonCase cases[] = {
        {"nothing listens", [](TDownloadWorld&) { return "http://127.0.0.1:" + std::to_string(FreeLoopbackPort()); },
         "connection refused"},
        {"no such host", [](TDownloadWorld&) { return std::string("https://catalogue.invalid"); }, "host not found"},
        {"no answer within the read time-out",
         [](TDownloadWorld& World) {
             service::TServiceFaults faults;
             faults.DelayedLogouts = 1;
             faults.LogoutDelay = std::chrono::milliseconds(3000);
             World.Service->SetFaults(faults);
             return World.Service->Address();
         },
         "timed out after 1 s"},
        {"error status",
         [](TDownloadWorld& World) {
             service::TServiceFaults faults;
             faults.ErrorLogouts = {1};
             World.Service->SetFaults(faults);
             return World.Service->Address();
         },
         "HTTP 500"},
    };
    for (const TReasonCase& c : cases) {
        SCOPED_TRACE(c.What);
        TDownloadWorld world({}, {.FirstMs = 1000});
        const std::string address = c.Arrange(world);
        world.Host.Inputs.SpaceTrackAddress = address;
        const std::string line = address + ": " + c.Reason;

        EXPECT_EQ(world.Run(), TDownloadOutcome::Unreachable);
        EXPECT_EQ(world.Host.Only("message"), TLines{"Error connecting to the Space-Track Web site\n" + line});
        EXPECT_EQ(world.Host.Only("log"), (TLines{"Connecting to Space-Track", line}));
        EXPECT_EQ(world.Host.Only("status").back(), "Run ended: " + c.Reason);
    }

    TDownloadWorld untrusted(secure);
    EXPECT_EQ(untrusted.Run(), TDownloadOutcome::Unreachable);
    EXPECT_EQ(untrusted.Host.Only("message"), TLines{"Error connecting to the Space-Track Web site\n"
                                                     + untrusted.Service->Address() + ": certificate not trusted"});
}

} // namespace
} // namespace elsetry::test
