#pragma once
// The system's optional Internet functions: dialling a connection, hanging it up, and the
// system's proxy setting. Each entry point may be missing; a missing one silently switches off
// the feature that needs it. On Linux there is no dialling, so only the proxy query is present.

#include <functional>
#include <optional>
#include <string>

namespace elsetry {

// Dial without asking the user anything.
inline constexpr unsigned long AutodialForceUnattended = 2;

// Access types of the proxy setting.
inline constexpr unsigned long InternetOpenTypeDirect = 1;
inline constexpr unsigned long InternetOpenTypeProxy = 3;

struct TProxyOption {
    unsigned long AccessType = InternetOpenTypeDirect;
    // Either "host:port" for every protocol, or "protocol=host:port" entries joined by ";".
    std::string ProxyList;
};

struct TInternetFunctions {
    // Each returns whether it succeeded; an empty function is a missing entry point.
    std::function<bool(unsigned long Flags)> Autodial;
    std::function<bool(unsigned long Reserved)> AutodialHangup;
    // The system's proxy setting; none when the query fails.
    std::function<std::optional<TProxyOption>()> QueryProxyOption;
};

// The functions this system offers: no dialling, and the proxy setting of the desktop.
TInternetFunctions LoadInternetFunctions();

} // namespace elsetry
