#pragma once
// Work on many items shared out among threads a turn at a time: each thread takes the next turn
// when it is done with one, so that threads whose turns take longer do not hold the others up.

#include <cstddef>
#include <functional>
#include <future>

namespace elsetry {

// Threads for Items items: Wanted, or one for each core when Wanted is 0, but no more than one
// for every LeastPerThread items, below which starting a thread costs more than it saves; at
// least 1, the calling thread.
unsigned WorkThreads(std::size_t Items, unsigned Wanted, std::size_t LeastPerThread);

// Calls Work with every turn from 0 to Turns - 1, on Threads threads, the calling one among them,
// and the index of the thread that takes it (0 the calling one, up to Threads - 1), so that a
// thread can keep what it makes apart from the others.
// The first failure keeps the threads from taking further turns and is raised again once they
// have all ended. A thread that cannot be started leaves its share to the others.
void ShareOutTurns(std::size_t Turns, unsigned Threads,
                   const std::function<void(std::size_t Turn, unsigned Thread)>& Work);

// Runs Work on a thread kept for such work while the calling thread goes on, its result (or its
// failure) in the future, which must be waited for before what Work uses goes. Where no thread
// can be started, Work runs when the future is waited for.
std::future<bool> RunAside(std::function<bool()> Work);

} // namespace elsetry
