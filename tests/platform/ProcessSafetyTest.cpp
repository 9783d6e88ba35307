// The process settings made at start-up, each checked in a child so the test process keeps its own.

#include "platform/ProcessSafety.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <unistd.h>

namespace elsetry::test {
namespace {

[[noreturn]] void CheckNoCoreDumps()
{
    DisableCoreDumps();
    rlimit limit{};
    ::getrlimit(RLIMIT_CORE, &limit);
    std::_Exit(limit.rlim_cur == 0 && limit.rlim_max == 0 && ::prctl(PR_GET_DUMPABLE) == 0 ? 0 : 1);
}

[[noreturn]] void WritePastTheLimit(const std::string& Path)
{
    IgnoreFileSizeSignal();
    const rlimit small{4096, 4096};
    ::setrlimit(RLIMIT_FSIZE, &small);
    const int fd = ::open(Path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600);
    char block[8192] = {};
    ssize_t written = ::write(fd, block, sizeof block);
    written = ::write(fd, block, sizeof block);
    std::_Exit(written < 0 && errno == EFBIG ? 0 : 1);
}

TEST(ProcessSafetyDeathTest, NoCoreFileAndNoDumping)
{
    EXPECT_EXIT(CheckNoCoreDumps(), ::testing::ExitedWithCode(0), "");
}

TEST(ProcessSafetyDeathTest, AWritePastTheFileSizeLimitFailsInsteadOfKilling)
{
    TTempFolder folder;
    EXPECT_EXIT(WritePastTheLimit(folder.Path + "/big"), ::testing::ExitedWithCode(0), "");
}

} // namespace
} // namespace elsetry::test
