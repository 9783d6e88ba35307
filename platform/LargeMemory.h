#pragma once
// Large pieces of memory filled at once: the text of a catalogue, the satellites of its sets.
// They come in huge pages where the kernel has them, so that a few page faults bring in what
// would otherwise take thousands.

#include <cstddef>

namespace elsetry {

// Advises huge pages for the whole pages of a large buffer about to be filled by one thread, and
// makes them present in one go. Only advice: nothing changes for a small buffer or a kernel that
// knows neither.
void PrepareLargeBuffer(void* Data, std::size_t Size);

// Memory of its own mapping, in huge pages; its pages come as the threads that fill it first
// write them, so that several threads share the work of clearing them.
class TLargeMemory {
public:
    // Raises std::bad_alloc when the memory cannot be had.
    explicit TLargeMemory(std::size_t Bytes);
    ~TLargeMemory();
    TLargeMemory(const TLargeMemory&) = delete;
    TLargeMemory& operator=(const TLargeMemory&) = delete;

    void* Data() const { return Start; }

private:
    void* Start = nullptr;
    std::size_t Length = 0;
};

} // namespace elsetry
