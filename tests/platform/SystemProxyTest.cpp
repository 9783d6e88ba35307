// The system proxy: the proxy list from the desktop, and its reading.

#include "platform/DesktopProxy.h"
#include "platform/SystemProxy.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>

namespace elsetry::test {
namespace {

namespace fs = std::filesystem;
using TLines = std::vector<std::string>;

TEST(SystemProxy, ProxyListForms)
{
    struct TCase {
        const char* List;
        std::string Host;
        int Port;
    };
    const TCase cases[] = {
        {"http=proxy.lan:3128;https=secure.lan:443;ftp=files.lan:21", "proxy.lan", 3128},
        {"proxy.lan:8080", "proxy.lan", 8080},
        {"proxy.lan", "", 0},
        {"http=proxy.lan:port", "proxy.lan", 0},
        {"https=secure.lan:443;ftp=files.lan:21", "", 0},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.List);
        const TSystemProxy proxy = ParseProxyList(c.List, "http");
        EXPECT_EQ(proxy.Host, c.Host);
        EXPECT_EQ(proxy.Port, c.Port);
    }
    TInternetFunctions functions;
    EXPECT_EQ(GetSystemProxy(functions, "http").Host, "") << "no query";
    functions.QueryProxyOption = [] { return std::optional<TProxyOption>({InternetOpenTypeDirect, "proxy.lan:80"}); };
    EXPECT_EQ(GetSystemProxy(functions, "http").Host, "") << "no named proxy";
}

TEST(DesktopProxy, ListFromTheEnvironmentThenGnome)
{
    using TValues = std::map<std::string, std::string>;
    const TValues manual{{"org.gnome.system.proxy mode", "'manual'\n"},
                         {"org.gnome.system.proxy.http host", "'gnome.lan'\n"},
                         {"org.gnome.system.proxy.http port", "8080\n"}};
    const std::string same = "http://user:pa:ss@proxy.lan:3128/";
    const std::pair<TValues, std::string> cases[] = {
        {{}, ""},
        {{{"http_proxy", same}}, "http=proxy.lan:3128"},
        {{{"http_proxy", same}, {"HTTPS_PROXY", same}, {"ftp_proxy", same}}, "proxy.lan:3128"},
        {{{"http_proxy", "a.lan:1"}, {"https_proxy", "https://b.lan:2"}}, "http=a.lan:1;https=b.lan:2"},
    };
    for (const bool gnome : {false, true}) {
        for (const auto& [variables, expected] : cases) {
            const auto environment = [&values = variables](const char* Name) {
                return values.count(Name) ? values.at(Name) : "";
            };
            const auto settings = [&](const std::string& Schema, const std::string& Key) {
                return gnome && manual.count(Schema + " " + Key) ? manual.at(Schema + " " + Key) : "";
            };
            const std::string list = DesktopProxyList(environment, settings);
            EXPECT_EQ(list, gnome && variables.empty() ? "http=gnome.lan:8080" : expected);
        }
    }
}

} // namespace
} // namespace elsetry::test
