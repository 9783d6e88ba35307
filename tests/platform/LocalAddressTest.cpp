// Which service addresses a password may be posted to: encrypted, or never off this machine.

#include "platform/LocalAddress.h"

#include <gtest/gtest.h>

#include <string>

namespace elsetry::test {
namespace {

TEST(LocalAddress, LoopbackHostsAreNamedWithoutALookUp)
{
    const std::pair<const char*, bool> cases[] = {
        {"localhost", true},         {"LocalHost", true},      {"127.0.0.1", true},         {"127.255.3.4", true},
        {"::1", true},               {"[::1]", true},          {"::ffff:127.0.0.1", true},  {"[0:0:0:0:0:0:0:1]", true},
        {"128.0.0.1", false},        {"10.0.0.1", false},      {"localhost.example", false}, {"127.0.0.1.example", false},
        {"::2", false},              {"[::ffff:10.0.0.1]", false}, {"", false},             {"[::1", false},
    };
    for (const auto& [host, local] : cases)
        EXPECT_EQ(IsLoopbackHost(host), local) << host;
}

TEST(LocalAddress, PasswordGoesOnlyEncryptedOrToThisMachine)
{
    struct TCase {
        const char* Url;
        const char* Proxy;
        bool Safe;
    };
    const TCase cases[] = {
        {"https://www.space-track.org/perl/login.pl", "", true},
        {"HTTPS://www.space-track.org/perl/login.pl", "proxy.example.org", true},
        {"http://127.0.0.1:8080/perl/login.pl", "", true},
        {"http://localhost/perl/login.pl", "", true},
        {"http://[::1]:8080/perl/login.pl", "", true},
        {"http://127.0.0.1:8080/perl/login.pl", "127.0.0.1", true},
        {"http://127.0.0.1:8080/perl/login.pl", "http://localhost:3128", true},
        {"http://127.0.0.1:8080/perl/login.pl", "proxy.example.org", false},
        {"http://127.0.0.1:8080/perl/login.pl", "http://10.1.1.1:3128", false},
        {"http://www.space-track.org/perl/login.pl", "", false},
        {"http://www.space-track.org/perl/login.pl", "127.0.0.1", false},
        {"http://10.0.0.7/perl/login.pl", "", false},
        {"www.space-track.org/perl/login.pl", "", false},
        {"127.0.0.1/perl/login.pl", "", false},
        {"ftp://127.0.0.1/perl/login.pl", "", false},
        {"/perl/login.pl", "", false},
        {"", "", false},
    };
    for (const TCase& c : cases)
        EXPECT_EQ(KeepsSecretsOffTheWire(c.Url, c.Proxy), c.Safe) << c.Url << " through " << c.Proxy;
}

} // namespace
} // namespace elsetry::test
