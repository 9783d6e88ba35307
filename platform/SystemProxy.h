#pragma once
// The proxy server the system names for a protocol.

#include "platform/InternetFunctions.h"

#include <string>
#include <string_view>

namespace elsetry {

struct TSystemProxy {
    std::string Host; // empty when the system names no proxy
    int Port = 0;
};

// The proxy of Protocol in a proxy list text. An entry "http=host:port" among others gives that
// entry; a list without "=" is one entry for every protocol. The host is what comes before the
// first ":", the port the rest read as a whole number (0 when it is not one). A list without ":"
// gives nothing, and so does a list of protocol entries that has none for Protocol.
TSystemProxy ParseProxyList(std::string_view List, std::string_view Protocol);

// The system's proxy of Protocol; nothing when the proxy query is missing or fails, or when the
// system connects without a named proxy.
TSystemProxy GetSystemProxy(const TInternetFunctions& Functions, std::string_view Protocol);

} // namespace elsetry
