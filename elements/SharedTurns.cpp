#include "elements/SharedTurns.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <system_error>
#include <thread>
#include <vector>

namespace elsetry {

namespace {

class TTurns {
public:
    TTurns(std::size_t Count, const std::function<void(std::size_t, unsigned)>& TurnWork) : Turns(Count), Work(TurnWork)
    {
    }

    void Run(unsigned Thread) noexcept
    {
        try {
            for (std::size_t turn = Next++; turn < Turns && !Failed; turn = Next++)
                Work(turn, Thread);
        } catch (...) {
            // Passed on to the thread that asked for the work.
            Fail(std::current_exception());
        }
    }

    void RaiseFailure() const
    {
        if (Failure)
            std::rethrow_exception(Failure);
    }

private:
    void Fail(std::exception_ptr Error)
    {
        if (!Failed.exchange(true))
            Failure = std::move(Error);
    }

    const std::size_t Turns;
    const std::function<void(std::size_t, unsigned)>& Work;
    std::atomic<std::size_t> Next{0};
    std::atomic<bool> Failed{false};
    std::exception_ptr Failure;
};

} // namespace

unsigned WorkThreads(std::size_t Items, unsigned Wanted, std::size_t LeastPerThread)
{
    const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
    const std::size_t useful = std::max<std::size_t>(1, Items / std::max<std::size_t>(1, LeastPerThread));
    return static_cast<unsigned>(std::min<std::size_t>(Wanted == 0 ? cores : Wanted, useful));
}

void ShareOutTurns(std::size_t Turns, unsigned Threads,
                   const std::function<void(std::size_t Turn, unsigned Thread)>& Work)
{
    TTurns turns(Turns, Work);
    {
        std::vector<std::jthread> helpers;
        try {
            for (unsigned t = 1; t < Threads; ++t)
                helpers.emplace_back([&turns, t] { turns.Run(t); });
        } catch (const std::system_error&) {
            // The threads that did start share the work between them and this one.
        }
        turns.Run(0);
    }
    turns.RaiseFailure();
}

} // namespace elsetry
