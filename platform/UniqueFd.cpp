#include "platform/UniqueFd.h"

#include <unistd.h>

namespace elsetry {

int TUniqueFd::Release() noexcept
{
    const int fd = Descriptor;
    Descriptor = -1;
    return fd;
}

void TUniqueFd::Reset(int Fd) noexcept
{
    if (Descriptor >= 0)
        ::close(Descriptor);
    Descriptor = Fd;
}

bool TUniqueFd::Close() noexcept
{
    return ::close(Release()) == 0;
}

} // namespace elsetry
