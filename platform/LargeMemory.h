#pragma once
// One large piece of memory of the program's own, for what fills it at once (the satellites of
// a catalogue): mapped in one piece, in huge pages where the kernel has them, and with its pages
// made present in one go instead of one fault at a time.

#include <cstddef>

namespace elsetry {

// Advises huge pages for the whole pages of a large buffer and makes them present in one go.
// Only advice: nothing changes for a small buffer or a kernel that knows neither.
void PrepareLargeBuffer(void* Data, std::size_t Size);

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
