#include "elements/SharedTurns.h"

#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <latch>
#include <exception>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>
#include <utility>
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

// A thread kept for work after work, waiting in between.
class TKeptThread {
public:
    explicit TKeptThread(std::function<void()> First) : Work(std::move(First)), Busy(true), Thread([this] { Serve(); })
    {
    }

    ~TKeptThread()
    {
        {
            const std::lock_guard<std::mutex> lock(Lock);
            Stopping = true;
        }
        Wake.notify_one();
        Thread.join();
    }

    TKeptThread(const TKeptThread&) = delete;
    TKeptThread& operator=(const TKeptThread&) = delete;

    // False, leaving Next as it is, while the thread has work.
    bool TryGive(std::function<void()>& Next)
    {
        {
            const std::lock_guard<std::mutex> lock(Lock);
            if (Busy)
                return false;
            Busy = true;
            Work = std::move(Next);
        }
        Wake.notify_one();
        return true;
    }

private:
    void Serve()
    {
        std::unique_lock<std::mutex> lock(Lock);
        for (;;) {
            Wake.wait(lock, [this] { return Work || Stopping; });
            if (!Work)
                return;
            std::function<void()> work = std::exchange(Work, nullptr);
            lock.unlock();
            work(); // never raises: the work passes its failures on itself
            work = nullptr;
            lock.lock();
            Busy = false;
        }
    }

    std::mutex Lock;
    std::condition_variable Wake;
    std::function<void()> Work; // given and not yet taken
    bool Busy = false;          // from the work's giving to its end
    bool Stopping = false;
    std::thread Thread;
};

// Threads kept from one share of turns to the next: a load shares out its work several times,
// and a thread started for each share costs its start and, on some kernels, waits up to a tick
// of the scheduler on a busy core before it is moved to an idle one.
class TKeptThreads {
public:
    ~TKeptThreads()
    {
        if (Owner != ::getpid())
            LetGoOfParentsThreads();
    }

    // Runs Work on a kept thread that is idle, or on one started for it; raises std::system_error
    // when none can be started.
    void Run(std::function<void()> Work)
    {
        const std::lock_guard<std::mutex> lock(Lock);
        if (Owner != ::getpid()) {
            LetGoOfParentsThreads();
            Owner = ::getpid();
        }
        for (const std::unique_ptr<TKeptThread>& thread : Threads)
            if (thread->TryGive(Work))
                return;
        Threads.push_back(std::make_unique<TKeptThread>(std::move(Work)));
    }

private:
    // A child made by fork has none of its parent's threads: it starts its own and leaves the
    // records of those alone, which could be neither woken nor joined.
    void LetGoOfParentsThreads()
    {
        for (std::unique_ptr<TKeptThread>& thread : Threads)
            static_cast<void>(thread.release());
        Threads.clear();
    }

    std::mutex Lock;
    std::vector<std::unique_ptr<TKeptThread>> Threads;
    pid_t Owner = ::getpid();
};

TKeptThreads& KeptThreads()
{
    static TKeptThreads threads;
    return threads;
}

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
    const unsigned helpers = std::max(Threads, 1u) - 1;
    std::latch helpersAtWork(helpers);
    for (unsigned t = 1; t <= helpers; ++t) {
        try {
            KeptThreads().Run([&turns, &helpersAtWork, t] {
                turns.Run(t);
                helpersAtWork.count_down();
            });
        } catch (const std::system_error&) {
            // The threads that did start share the work between them and this one.
            helpersAtWork.count_down(helpers - t + 1);
            break;
        }
    }
    turns.Run(0);
    helpersAtWork.wait();
    turns.RaiseFailure();
}

std::future<bool> RunAside(std::function<bool()> Work)
{
    auto task = std::make_shared<std::packaged_task<bool()>>(std::move(Work));
    std::future<bool> result = task->get_future();
    try {
        KeptThreads().Run([task] { (*task)(); });
    } catch (const std::system_error&) {
        return std::async(std::launch::deferred, [task, result = std::move(result)]() mutable {
            (*task)();
            return result.get();
        });
    }
    return result;
}

} // namespace elsetry
