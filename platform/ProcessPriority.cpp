#include "platform/ProcessPriority.h"

namespace elsetry {

TIdlePriority::TIdlePriority()
{
    Policy = ::sched_getscheduler(0);
    if (Policy < 0 || ::sched_getparam(0, &Parameters) != 0)
        return;
    Remembered = true;
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
}

int CurrentSchedulingPolicy()
{
    const int policy = ::sched_getscheduler(0);
    return policy < 0 ? -1 : (policy & ~SCHED_RESET_ON_FORK);
}

} // namespace elsetry
