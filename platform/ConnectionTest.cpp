#include "platform/ConnectionTest.h"

#include <arpa/inet.h>
#include <climits>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <memory>

namespace elsetry {

namespace {

struct TAddressListDeleter {
    void operator()(addrinfo* List) const { freeaddrinfo(List); }
};

bool AddressText(const addrinfo& Address, char (&Text)[INET6_ADDRSTRLEN])
{
    const void* raw = nullptr;
    if (Address.ai_family == AF_INET)
        raw = &reinterpret_cast<const sockaddr_in*>(Address.ai_addr)->sin_addr;
    else if (Address.ai_family == AF_INET6)
        raw = &reinterpret_cast<const sockaddr_in6*>(Address.ai_addr)->sin6_addr;
    return raw != nullptr && inet_ntop(Address.ai_family, raw, Text, sizeof Text) != nullptr;
}

} // namespace

bool MachineNameResolves()
{
    char name[HOST_NAME_MAX + 1] = {};
    if (gethostname(name, sizeof name - 1) != 0)
        return false;
    addrinfo hints{}; // any address family
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (getaddrinfo(name, nullptr, &hints, &found) != 0 || found == nullptr)
        return false;
    const std::unique_ptr<addrinfo, TAddressListDeleter> list(found);
    char text[INET6_ADDRSTRLEN] = {};
    return AddressText(*list, text) && text[0] != '\0';
}

} // namespace elsetry
