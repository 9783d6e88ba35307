#include "platform/LargeMemory.h"

#include <cstdint>
#include <new>
#include <sys/mman.h>
#include <unistd.h>

namespace elsetry {

namespace {

// Below this, a buffer's pages are better left to come one fault at a time.
constexpr std::size_t LargeSize = 1 << 20;

// Advice only: a kernel without it, or without huge pages to spare, leaves the pages to come one
// small page at a time, as any memory's do.
void AdviseHugePages(void* Start, std::size_t Length)
{
    ::madvise(Start, Length, MADV_HUGEPAGE);
}

} // namespace

void PrepareLargeBuffer(void* Data, std::size_t Size)
{
    if (Size < LargeSize)
        return;
    const auto pageSize = static_cast<std::uintptr_t>(::sysconf(_SC_PAGESIZE));
    const auto start = reinterpret_cast<std::uintptr_t>(Data);
    const std::uintptr_t first = (start + pageSize - 1) / pageSize * pageSize;
    const std::uintptr_t end = (start + Size) / pageSize * pageSize;
    if (first < end) {
        AdviseHugePages(reinterpret_cast<void*>(first), end - first);
        ::madvise(reinterpret_cast<void*>(first), end - first, MADV_POPULATE_WRITE);
    }
}

TLargeMemory::TLargeMemory(std::size_t Bytes) : Length(Bytes)
{
    if (Length == 0)
        return;
    Start = ::mmap(nullptr, Length, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (Start == MAP_FAILED)
        throw std::bad_alloc();
    AdviseHugePages(Start, Length);
}

TLargeMemory::~TLargeMemory()
{
    if (Length != 0)
        ::munmap(Start, Length);
}

} // namespace elsetry
