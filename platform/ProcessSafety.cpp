#include "platform/ProcessSafety.h"

#include <csignal>
#include <sys/prctl.h>
#include <sys/resource.h>

namespace elsetry {

void DisableCoreDumps()
{
    const rlimit none{0, 0};
    ::setrlimit(RLIMIT_CORE, &none);
    ::prctl(PR_SET_DUMPABLE, 0, 0, 0, 0);
}

void IgnoreFileSizeSignal()
{
    std::signal(SIGXFSZ, SIG_IGN);
}

} // namespace elsetry
