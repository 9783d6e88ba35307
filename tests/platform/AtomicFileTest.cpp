#include "platform/AtomicFile.h"

#include "tests/download/RecordingHost.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace elsetry::test {
namespace {

struct stat StatusOf(const std::string& Path)
{
    struct stat info {};
    ::stat(Path.c_str(), &info);
    return info;
}

TEST(AtomicFile, ReplacesContentsAndKeepsPermissionsAndOwner)
{
    TTempFolder folder;
    const std::string path = folder.Write("a.txt", "old contents that are longer");
    ::chmod(path.c_str(), 0640);
    const bool privileged = ::geteuid() == 0;
    if (privileged) {
        ASSERT_EQ(::chown(path.c_str(), 12345, 23456), 0);
    }
    ReplaceFile(path, CrLfText(std::vector<std::string>{"one", "", "three"}));
    EXPECT_EQ(ReadWholeFile(path), "one\r\n\r\nthree\r\n");
    EXPECT_EQ(StatusOf(path).st_mode & 07777, 0640u);
    if (privileged) {
        EXPECT_EQ(StatusOf(path).st_uid, 12345u);
        EXPECT_EQ(StatusOf(path).st_gid, 23456u);
    }

    ReplaceFile(path, CrLfText(std::vector<std::string>{}));
    EXPECT_EQ(ReadWholeFile(path), "");
    EXPECT_EQ(FolderNames(folder.Path), std::vector<std::string>{"a.txt"});
}

TEST(AtomicFile, ReplacingThroughALinkKeepsTheLink)
{
    TTempFolder folder;
    const std::string target = folder.Write("target.txt", "old");
    std::filesystem::create_symlink(target, folder.Path + "/link.txt");
    ReplaceFile(folder.Path + "/link.txt", "new");
    EXPECT_TRUE(std::filesystem::is_symlink(folder.Path + "/link.txt"));
    EXPECT_EQ(ReadWholeFile(target), "new");
}

} // namespace
} // namespace elsetry::test
