// The download's temporary file: its name, its permissions, and links planted at its name.

#include "platform/TempFile.h"
#include "platform/TextFile.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <sys/stat.h>
#include <unistd.h>

namespace elsetry::test {
namespace {

void Write(const std::string& Path, const std::string& Text)
{
    std::ofstream(Path, std::ios::binary) << Text;
}

TEST(TempFile, NameIsKeptAndAnEarlierFileOfOursIsReplaced)
{
    TTempFolder folder;
    TKepTempFile file(folder.Path);
    EXPECT_TRUE(std::regex_match(FileNameOf(file.Path()), std::regex("Kep[0-9A-F]{16}\\.gz")));
    EXPECT_EQ(file.Path().substr(0, folder.Path.size() + 1), folder.Path + "/");
    Write(file.Path(), "left over");
    const int fd = file.Create();
    ::close(fd);
    EXPECT_EQ(ReadWholeFile(file.Path()), "");
    struct stat info {};
    ASSERT_EQ(::stat(file.Path().c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600U);
    const std::string first = file.Path();
    ::close(file.Create());
    EXPECT_EQ(file.Path(), first);
    EXPECT_NE(TKepTempFile(folder.Path).Path(), first) << "every program's name is its own";
}

TEST(TempFile, LinkAtTheNameIsNeverFollowed)
{
    TTempFolder folder;
    TKepTempFile file(folder.Path);
    const std::string target = folder.Write("target", "precious");
    const std::string planted = file.Path();
    std::filesystem::create_symlink(target, planted);
    const int fd = file.Create();
    ASSERT_GE(fd, 0);
    EXPECT_EQ(::write(fd, "x", 1), 1);
    ::close(fd);
    EXPECT_NE(file.Path(), planted);
    EXPECT_EQ(ReadWholeFile(target), "precious");
    EXPECT_TRUE(std::filesystem::is_symlink(planted));

    // A name taken again and again never stops the download: each attempt draws new digits.
    for (int taken = 0; taken < 20; ++taken) {
        std::filesystem::remove(file.Path());
        std::filesystem::create_directory(file.Path());
        ::close(file.Create());
    }
}

} // namespace
} // namespace elsetry::test
