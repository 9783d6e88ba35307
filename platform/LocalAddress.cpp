#include "platform/LocalAddress.h"

#include "text/Strings.h"

#include <curl/curl.h>

#include <arpa/inet.h>
#include <memory>
#include <netinet/in.h>
#include <optional>

namespace elsetry {

namespace {

struct TUrlDeleter {
    void operator()(CURLU* Url) const { curl_url_cleanup(Url); }
};

struct TPartDeleter {
    void operator()(char* Part) const { curl_free(Part); }
};

struct TUrlParts {
    std::string Scheme;
    std::string Host;
};

std::optional<std::string> Part(CURLU* Url, CURLUPart Which)
{
    char* text = nullptr;
    if (curl_url_get(Url, Which, &text, 0) != CURLUE_OK)
        return std::nullopt;
    const std::unique_ptr<char, TPartDeleter> owned(text);
    return std::string(text);
}

// A proxy is often written without a scheme; libcurl then takes it as http.
std::optional<TUrlParts> PartsOf(const std::string& Url, bool GuessScheme)
{
    const std::unique_ptr<CURLU, TUrlDeleter> parsed(curl_url());
    if (!parsed ||
        curl_url_set(parsed.get(), CURLUPART_URL, Url.c_str(), GuessScheme ? CURLU_GUESS_SCHEME : 0) != CURLUE_OK)
        return std::nullopt;
    const auto scheme = Part(parsed.get(), CURLUPART_SCHEME);
    const auto host = Part(parsed.get(), CURLUPART_HOST);
    if (!scheme || !host)
        return std::nullopt;
    return TUrlParts{*scheme, *host};
}

bool IsLoopbackIpv6(const std::string& Text)
{
    in6_addr address{};
    if (::inet_pton(AF_INET6, Text.c_str(), &address) != 1)
        return false;
    // ::ffff:127.x.x.x is the IPv4 loopback written as IPv6.
    return IN6_IS_ADDR_LOOPBACK(&address) || (IN6_IS_ADDR_V4MAPPED(&address) && address.s6_addr[12] == 127);
}

} // namespace

bool IsLoopbackHost(std::string_view Host)
{
    if (SameText(Host, "localhost"))
        return true;
    const std::string text(Host);
    in_addr ipv4{};
    if (::inet_pton(AF_INET, text.c_str(), &ipv4) == 1)
        return (ntohl(ipv4.s_addr) >> 24) == 127;
    if (Host.size() > 2 && Host.front() == '[' && Host.back() == ']')
        return IsLoopbackIpv6(std::string(Host.substr(1, Host.size() - 2)));
    return IsLoopbackIpv6(text);
}

bool KeepsSecretsOffTheWire(const std::string& Url, const std::string& ProxyHost)
{
    const std::optional<TUrlParts> service = PartsOf(Url, false);
    if (!service)
        return false;
    if (SameText(service->Scheme, "https"))
        return true;
    if (!SameText(service->Scheme, "http") || !IsLoopbackHost(service->Host))
        return false;
    if (ProxyHost.empty())
        return true;
    const std::optional<TUrlParts> proxy = PartsOf(ProxyHost, true);
    return proxy && IsLoopbackHost(proxy->Host);
}

} // namespace elsetry
