#pragma once
// What stops or cuts short a download besides a failure of its own: the service's usage limits,
// a stopping answer, and Cancel. A group the service's rules spare, or whose data has not
// changed, is an outcome of the source's answer (SourceAnswer.h), not raised.

#include "elementfiles/GroupFailure.h"

#include <stdexcept>
#include <string>

namespace elsetry {

// A request the service's usage limits do not allow now, nor within a wait worth making.
class EUsageLimitReached : public EGroupFailed {
public:
    using EGroupFailed::EGroupFailed;
};

// The service told the run to stop asking (its usage limit): nothing of the answer is saved, no
// further group is asked for, and only the logout follows. The text says so for the log.
class ERunStopped : public std::runtime_error {
public:
    // Cause is the short reason of the download that got the stopping answer, for its "Failed:"
    // line; the whole text when none is given.
    explicit ERunStopped(const std::string& Reason, std::string Cause = {})
        : std::runtime_error(Reason), Short(Cause.empty() ? Reason : std::move(Cause))
    {
    }
    const std::string& Cause() const { return Short; }

private:
    std::string Short;
};

// The user cancelled the run: the request under way is abandoned, nothing of it is saved, no
// further download is asked for, and only the logout follows.
class ERunCancelled : public std::runtime_error {
public:
    ERunCancelled() : std::runtime_error("cancelled") {}
};

} // namespace elsetry
