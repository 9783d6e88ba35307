#include "platform/SystemProxy.h"

#include <charconv>

namespace elsetry {

int WholeNumberOrZero(std::string_view Text)
{
    if (!Text.empty() && Text.front() == '+')
        Text.remove_prefix(1);
    int number = 0;
    const auto [end, error] = std::from_chars(Text.data(), Text.data() + Text.size(), number);
    return Text.empty() || error != std::errc() || end != Text.data() + Text.size() ? 0 : number;
}

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
    return {std::string(List.substr(0, colon)), WholeNumberOrZero(List.substr(colon + 1))};
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
