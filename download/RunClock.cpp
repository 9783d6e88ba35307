#include "download/RunClock.h"

#include <thread>

namespace elsetry {

namespace {

class TSystemRunClock final : public TRunClock {
public:
    TTime Now() const override { return std::chrono::system_clock::now(); }
    void Wait(std::chrono::milliseconds Time) override { std::this_thread::sleep_for(Time); }
};

} // namespace

TRunClock& SystemRunClock()
{
    static TSystemRunClock clock;
    return clock;
}

} // namespace elsetry
