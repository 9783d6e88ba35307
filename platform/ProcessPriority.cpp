#include "platform/ProcessPriority.h"

#include <cerrno>
#include <linux/ioprio.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace elsetry {

namespace {

// The calling thread (IOPRIO_WHO_PROCESS with 0 names the caller).
int GetIoPriority()
{
    return static_cast<int>(::syscall(SYS_ioprio_get, IOPRIO_WHO_PROCESS, 0));
}

void SetIoPriority(int Priority)
{
    // Failing leaves the I/O priority the kernel derives from the scheduling; the work still runs.
    ::syscall(SYS_ioprio_set, IOPRIO_WHO_PROCESS, 0, Priority);
}

int IoClassOf(int Priority)
{
    return (Priority >> IOPRIO_CLASS_SHIFT) & IOPRIO_CLASS_MASK;
}

// The best-effort priority that the kernel derives from the thread's nice value.
int BestEffortFromNice()
{
    errno = 0;
    const int nice = ::getpriority(PRIO_PROCESS, 0);
    const int level = errno != 0 ? IOPRIO_BE_NORM : (nice + 20) / 5;
    return (IOPRIO_CLASS_BE << IOPRIO_CLASS_SHIFT) | level;
}

// The I/O priority to keep while the CPU scheduling is idle: an explicit real-time or
// best-effort priority stays, an idle one too, a derived one becomes the best-effort one it was.
int IoPriorityWhileIdle(int Previous)
{
    return IoClassOf(Previous) == IOPRIO_CLASS_NONE ? BestEffortFromNice() : Previous;
}

} // namespace

TIdlePriority::TIdlePriority()
{
    Policy = ::sched_getscheduler(0);
    if (Policy < 0 || ::sched_getparam(0, &Parameters) != 0)
        return;
    Remembered = true;
    IoPriority = GetIoPriority();
    if (IoPriority >= 0)
        SetIoPriority(IoPriorityWhileIdle(IoPriority));
    const sched_param idle{};
    // Idle priority is a courtesy to other programs; when it cannot be had the check runs as it is.
    ::sched_setscheduler(0, SCHED_IDLE, &idle);
}

TIdlePriority::~TIdlePriority()
{
    if (!Remembered)
        return;
    // Leaving the idle class is allowed to an unprivileged thread within its nice limit, which the
    // earlier policy met; there is nobody left to tell if it fails.
    ::sched_setscheduler(0, Policy, &Parameters);
    if (IoPriority >= 0)
        SetIoPriority(IoPriority);
}

int CurrentSchedulingPolicy()
{
    const int policy = ::sched_getscheduler(0);
    return policy < 0 ? -1 : (policy & ~SCHED_RESET_ON_FORK);
}

int CurrentIoPriorityClass()
{
    const int priority = GetIoPriority();
    return priority < 0 ? -1 : IoClassOf(priority);
}

} // namespace elsetry
