#include "platform/SystemProxy.h"

#include "text/Numbers.h"

namespace elsetry {

TSystemProxy ParseProxyList(std::string_view List, std::string_view Protocol)
{
    const std::string marker = std::string(Protocol) + "=";
    if (const std::size_t at = List.find(marker); at != std::string_view::npos) {
        List.remove_prefix(at + marker.size());
        List = List.substr(0, List.find(';'));
    } else if (List.find('=') != std::string_view::npos) {
        // Entries for other protocols only: their host must not pass for this protocol's.
        return {};
    }
    const std::size_t colon = List.find(':');
    if (colon == std::string_view::npos)
        return {};
    return {std::string(List.substr(0, colon)), ReadInteger(List.substr(colon + 1)).value_or(0)};
}

TSystemProxy GetSystemProxy(const TInternetFunctions& Functions, std::string_view Protocol)
{
    if (!Functions.QueryProxyOption)
        return {};
    const std::optional<TProxyOption> option = Functions.QueryProxyOption();
    if (!option || option->AccessType != InternetOpenTypeProxy)
        return {};
    return ParseProxyList(option->ProxyList, Protocol);
}

} // namespace elsetry
