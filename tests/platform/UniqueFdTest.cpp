#include "platform/UniqueFd.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <utility>

namespace elsetry::test {
namespace {

int OpenNull()
{
    return ::open("/dev/null", O_RDONLY | O_CLOEXEC);
}

bool IsOpen(int Fd)
{
    return ::fcntl(Fd, F_GETFD) != -1;
}

TEST(UniqueFd, MovesLeaveTheSourceEmptyAndTheLastOwnerCloses)
{
    const int fd = OpenNull();
    ASSERT_GE(fd, 0);
    {
        TUniqueFd target;
        {
            TUniqueFd source(fd);
            target = std::move(source);
            EXPECT_FALSE(source.Valid());
        }
        EXPECT_TRUE(IsOpen(fd)) << "the moved-from owner closed the descriptor";
        const TUniqueFd constructed(std::move(target));
        EXPECT_FALSE(target.Valid());
        EXPECT_EQ(constructed.Get(), fd);
    }
    EXPECT_FALSE(IsOpen(fd));
}

TEST(UniqueFd, MoveAssignmentClosesTheDescriptorItReplaces)
{
    const int first = OpenNull();
    const int second = OpenNull();
    ASSERT_GE(first, 0);
    ASSERT_GE(second, 0);
    TUniqueFd a(first);
    TUniqueFd b(second);
    b = std::move(a);
    EXPECT_FALSE(IsOpen(second));
    EXPECT_TRUE(IsOpen(first));
    EXPECT_EQ(b.Get(), first);
}

TEST(UniqueFd, ReleaseGivesUpOwnershipAndCloseReportsTheResult)
{
    TUniqueFd owner(OpenNull());
    ASSERT_TRUE(owner.Valid());
    const int fd = owner.Release();
    owner.Reset();
    EXPECT_TRUE(IsOpen(fd)) << "a released descriptor was closed";
    owner.Reset(fd);
    EXPECT_TRUE(owner.Close());
    EXPECT_FALSE(owner.Valid());
    EXPECT_FALSE(IsOpen(fd));
    EXPECT_FALSE(owner.Close()) << "closing nothing succeeded";
}

} // namespace
} // namespace elsetry::test
