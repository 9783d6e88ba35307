#include "platform/AtomicFile.h"

#include "tests/app/RecordingHost.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

namespace elsetry::test {
namespace {

mode_t ModeOf(const std::string& Path)
{
    struct stat info {};
    ::stat(Path.c_str(), &info);
    return info.st_mode & 07777;
}

TEST(AtomicFile, ReplacesContentsAndKeepsPermissions)
{
    TTempFolder folder;
    const std::string path = folder.Write("a.txt", "old contents that are longer");
    ::chmod(path.c_str(), 0640);
    ReplaceFile(path, CrLfText(std::vector<std::string>{"one", "", "three"}));
    EXPECT_EQ(ReadWholeFile(path), "one\r\n\r\nthree\r\n");
    EXPECT_EQ(ModeOf(path), 0640u);

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
