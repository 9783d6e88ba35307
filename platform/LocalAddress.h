#pragma once
// Whether a password sent to a service address stays off the network in the clear.

#include <string>
#include <string_view>

namespace elsetry {

// Whether Host names this machine without a look-up: "localhost", an IPv4 address in
// 127.0.0.0/8, or ::1 (in brackets or not).
bool IsLoopbackHost(std::string_view Host);

// Whether a form posted to Url travels encrypted or never leaves the machine: the address begins
// with https://, or it is http:// to this machine and ProxyHost is empty (no proxy) or this
// machine too. An address that cannot be read is not safe.
bool KeepsSecretsOffTheWire(const std::string& Url, const std::string& ProxyHost);

} // namespace elsetry
