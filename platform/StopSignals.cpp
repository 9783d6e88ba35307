#include "platform/StopSignals.h"

#include <atomic>
#include <csignal>

namespace elsetry {

namespace {

constexpr int Signals[] = {SIGTERM, SIGINT, SIGHUP};
constexpr int SignalCount = sizeof Signals / sizeof Signals[0];

static_assert(std::atomic<bool>::is_always_lock_free, "the flag is set in a signal handler");
std::atomic<bool> StopReceived{false};
struct sigaction Earlier[SignalCount];

extern "C" void NoteStopSignal(int)
{
    StopReceived.store(true, std::memory_order_relaxed);
}

} // namespace

TStopSignals::TStopSignals()
{
    StopReceived.store(false, std::memory_order_relaxed);
    struct sigaction action {};
    action.sa_handler = NoteStopSignal;
    sigemptyset(&action.sa_mask);
    // No SA_RESTART: a wait in poll returns early, and the run looks at the flag sooner.
    action.sa_flags = static_cast<int>(SA_RESETHAND);
    for (int i = 0; i < SignalCount; ++i) {
        ::sigaction(Signals[i], nullptr, &Earlier[i]);
        // A signal ignored on purpose (SIGHUP under nohup) stays ignored.
        if (Earlier[i].sa_handler != SIG_IGN)
            ::sigaction(Signals[i], &action, nullptr);
    }
}

TStopSignals::~TStopSignals()
{
    for (int i = 0; i < SignalCount; ++i)
        ::sigaction(Signals[i], &Earlier[i], nullptr);
}

bool TStopSignals::Received()
{
    return StopReceived.load(std::memory_order_relaxed);
}

} // namespace elsetry
