#include "elements/SharedTurns.h"

#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <condition_variable>
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
    // Runs Work on a kept thread that is idle, or on one started for it; raises std::system_error
    // when none can be started.
    void Run(std::function<void()> Work)
    {
        const std::lock_guard<std::mutex> lock(Lock);
        for (const std::unique_ptr<TKeptThread>& thread : Threads)
            if (thread->TryGive(Work))
                return;
        Threads.push_back(std::make_unique<TKeptThread>(std::move(Work)));
    }

    static TKeptThreads& OfThisProcess();

private:
    std::mutex Lock;
    std::vector<std::unique_ptr<TKeptThread>> Threads;
};

// The kept threads of this process. A child made by fork has none of its parent's threads: it
// keeps threads of its own and leaves the records of its parent's alone.
class TProcessThreads {
public:
    ~TProcessThreads()
    {
        if (Owner != ::getpid())
            static_cast<void>(Threads.release());
    }

    TKeptThreads& Get()
    {
        const std::lock_guard<std::mutex> lock(Lock);
        if (Owner != ::getpid()) {
            static_cast<void>(Threads.release());
            Threads = std::make_unique<TKeptThreads>();
            Owner = ::getpid();
        }
        return *Threads;
    }

private:
    std::mutex Lock;
    std::unique_ptr<TKeptThreads> Threads;
    pid_t Owner = 0;
};

TKeptThreads& TKeptThreads::OfThisProcess()
{
    static TProcessThreads threads;
    return threads.Get();
}

// Counts the helpers of one share that are still at work.
class THelpersAtWork {
public:
    void Add()
    {
        const std::lock_guard<std::mutex> lock(Lock);
        ++Count;
    }
    void Done()
    {
        const std::lock_guard<std::mutex> lock(Lock);
        if (--Count == 0)
            Ended.notify_all();
    }
    void Wait()
    {
        std::unique_lock<std::mutex> lock(Lock);
        Ended.wait(lock, [this] { return Count == 0; });
    }

private:
    std::mutex Lock;
    std::condition_variable Ended;
    unsigned Count = 0;
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
    THelpersAtWork helpers;
    for (unsigned t = 1; t < Threads; ++t) {
        helpers.Add();
        try {
            TKeptThreads::OfThisProcess().Run([&turns, &helpers, t] {
                turns.Run(t);
                helpers.Done();
            });
        } catch (const std::system_error&) {
            // The threads that did start share the work between them and this one.
            helpers.Done();
            break;
        }
    }
    turns.Run(0);
    helpers.Wait();
    turns.RaiseFailure();
}

std::future<bool> RunAside(std::function<bool()> Work)
{
    auto task = std::make_shared<std::packaged_task<bool()>>(std::move(Work));
    std::future<bool> result = task->get_future();
    try {
        TKeptThreads::OfThisProcess().Run([task] { (*task)(); });
    } catch (const std::system_error&) {
        return std::async(std::launch::deferred, [task, result = std::move(result)]() mutable {
            (*task)();
            return result.get();
        });
    }
    return result;
}

} // namespace elsetry
