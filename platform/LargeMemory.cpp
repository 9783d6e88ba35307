#include "platform/LargeMemory.h"

#include <new>
#include <sys/mman.h>

namespace elsetry {

TLargeMemory::TLargeMemory(std::size_t Bytes) : Length(Bytes)
{
    if (Length == 0)
        return;
    Start = ::mmap(nullptr, Length, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (Start == MAP_FAILED)
        throw std::bad_alloc();
    // Both are advice: a kernel without them, or without huge pages to spare, leaves the pages
    // to come one fault at a time, as any memory's do.
    ::madvise(Start, Length, MADV_HUGEPAGE);
    ::madvise(Start, Length, MADV_POPULATE_WRITE);
}

TLargeMemory::~TLargeMemory()
{
    if (Length != 0)
        ::munmap(Start, Length);
}

} // namespace elsetry
