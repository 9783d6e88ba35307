#pragma once
// Running a stretch of work at idle priority.

#include <sched.h>

namespace elsetry {

// While it lives, the calling thread runs in the idle scheduling class, so that checking a large
// file does not slow the programs the user works with. Its disk input and output keep the
// priority they had: Linux would otherwise move them to the idle I/O class too, where a write
// and its flush wait for as long as any other program uses the disk. The scheduling the thread
// had before comes back when the object is destroyed, however the work ends. When the current
// scheduling cannot be read, nothing is changed.
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
    int IoPriority = -1;
};

// The calling thread's scheduling policy (SCHED_OTHER, SCHED_IDLE, ...), without the
// reset-on-fork flag; -1 when it cannot be read.
int CurrentSchedulingPolicy();
// The calling thread's I/O priority class as the kernel keeps it (0 none, that is derived from
// the scheduling; 1 real-time, 2 best effort, 3 idle); -1 when it cannot be read.
int CurrentIoPriorityClass();

} // namespace elsetry
