#include "platform/InternetFunctions.h"

#include "platform/DesktopProxy.h"

namespace elsetry {

TInternetFunctions LoadInternetFunctions()
{
    TInternetFunctions functions;
    functions.QueryProxyOption = []() -> std::optional<TProxyOption> {
        const std::string list = DesktopProxyList(ReadEnvironment, ReadGnomeSetting);
        return TProxyOption{list.empty() ? InternetOpenTypeDirect : InternetOpenTypeProxy, list};
    };
    return functions;
}

} // namespace elsetry
