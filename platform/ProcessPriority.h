#pragma once
// Running a stretch of work at idle priority.

#include <sched.h>

namespace elsetry {

// While it lives, the calling thread runs in the idle scheduling class, so that checking a large
// file does not slow the programs the user works with. The scheduling it had before comes back
// when the object is destroyed, however the work ends. When the current scheduling cannot be
// read, nothing is changed.
class TIdlePriority {
public:
    TIdlePriority();
    ~TIdlePriority();
    TIdlePriority(const TIdlePriority&) = delete;
    TIdlePriority& operator=(const TIdlePriority&) = delete;

private:
    bool Remembered = false;
    int Policy = 0;
    sched_param Parameters{};
};

// The calling thread's scheduling policy (SCHED_OTHER, SCHED_IDLE, ...), without the
// reset-on-fork flag; -1 when it cannot be read.
int CurrentSchedulingPolicy();

} // namespace elsetry
