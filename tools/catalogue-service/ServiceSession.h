#pragma once
// Session cookies, shared by the service's form exchange and its query API.

#include <string>

namespace httplib {
struct Request;
}

namespace elsetry::service {

std::string RandomSessionId();

// The value of the cookie Name in the request's Cookie header, or empty.
std::string CookieFrom(const httplib::Request& Request, const char* Name);

} // namespace elsetry::service
