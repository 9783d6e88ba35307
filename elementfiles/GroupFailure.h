#pragma once
// A group or the individual list that could not be saved: the run logs it with its reason, counts
// it, and goes on with the next; the earlier file of that name stays as it was.

#include <stdexcept>
#include <string>

namespace elsetry {

class EGroupFailed : public std::runtime_error {
public:
    // Reason is short and plain, shown in brackets after the file name: "HTTP 500",
    // "not element sets", "a symbolic link", "cannot write: No space left on device".
    explicit EGroupFailed(const std::string& Reason) : std::runtime_error(Reason) {}
};

} // namespace elsetry
