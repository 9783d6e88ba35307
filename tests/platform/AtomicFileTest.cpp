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

TEST(AtomicFile, ReplacementIsInvisibleUntilCommittedAndGoneWhenDropped)
{
    TTempFolder folder;
    const std::string path = folder.Write("a.txt", "earlier");
    {
        TFileReplacement replacement(path);
        replacement.Write("checked later");
        EXPECT_EQ(FolderNames(folder.Path).size(), 2U) << "the hidden temporary beside it";
        EXPECT_EQ(ReadWholeFile(path), "earlier");
    }
    EXPECT_EQ(ReadWholeFile(path), "earlier");
    EXPECT_EQ(FolderNames(folder.Path), std::vector<std::string>{"a.txt"});
    TFileReplacement replacement(path);
    replacement.Write("new");
    replacement.Commit();
    EXPECT_EQ(ReadWholeFile(path), "new");
    EXPECT_EQ(FolderNames(folder.Path), std::vector<std::string>{"a.txt"});
}

// Another user of a shared folder puts a link to their own file where the temporary was.
TEST(AtomicFile, TemporarySwappedBeforeTheCommitIsNotInstalled)
{
    TTempFolder folder;
    const std::string path = folder.Write("a.txt", "earlier");
    const std::string outside = folder.Write("outside", "planted");
    TFileReplacement replacement(path);
    replacement.Write("checked");
    for (const std::string& name : FolderNames(folder.Path))
        if (name.starts_with(".a.txt-")) {
            std::filesystem::remove(folder.Path + "/" + name);
            std::filesystem::create_symlink(outside, folder.Path + "/" + name);
        }
    EXPECT_THROW(replacement.Commit(), EFileError);
    EXPECT_EQ(ReadWholeFile(path), "earlier");
    EXPECT_FALSE(std::filesystem::is_symlink(path));
    EXPECT_EQ(ReadWholeFile(outside), "planted");
}

// What stands in the target's place; the outside file and FIFO must not change.
struct TPlantCase {
    const char* What;
    void (*Plant)(const std::string& Place, const std::string& Outside);
    const char* Cause;     // of TFileReplacement and ReplaceRegularFile
    const char* FollowCause; // of ReplaceFile, which follows a link; nullptr: it writes the file
};

TEST(AtomicFile, LinksAndSpecialFilesAreNotWrittenThrough)
{
    const TPlantCase cases[] = {
        {"link to a file outside",
         [](const std::string& P, const std::string& O) { std::filesystem::create_symlink(O + "/precious.txt", P); },
         "a symbolic link", nullptr},
        {"link to a FIFO outside",
         [](const std::string& P, const std::string& O) { std::filesystem::create_symlink(O + "/fifo", P); },
         "a symbolic link", "not a regular file"},
        {"FIFO", [](const std::string& P, const std::string&) { ::mkfifo(P.c_str(), 0600); }, "not a regular file",
         "not a regular file"},
        {"folder", [](const std::string& P, const std::string&) { std::filesystem::create_directory(P); },
         "not a regular file", "not a regular file"},
    };
    for (const TPlantCase& c : cases) {
        SCOPED_TRACE(c.What);
        TTempFolder folder;
        const std::string outside = folder.Path + "/outside";
        std::filesystem::create_directory(outside);
        folder.Write("outside/precious.txt", "precious");
        ::mkfifo((outside + "/fifo").c_str(), 0600);
        const std::string place = folder.Path + "/a.txt";
        c.Plant(place, outside);

        const auto causeOf = [](const auto& Write) {
            try {
                Write();
            } catch (const ENotRegularFile& Error) {
                return Error.Cause();
            }
            return std::string("written");
        };
        EXPECT_EQ(causeOf([&] { TFileReplacement replacement(place); }), c.Cause);
        EXPECT_EQ(causeOf([&] { ReplaceRegularFile(place, "new"); }), c.Cause);
        EXPECT_EQ(ReadWholeFile(outside + "/precious.txt"), "precious");
        EXPECT_EQ(causeOf([&] { ReplaceFile(place, "new"); }), c.FollowCause ? c.FollowCause : "written");
        struct stat info {};
        ASSERT_EQ(::lstat((outside + "/fifo").c_str(), &info), 0);
        EXPECT_TRUE(S_ISFIFO(info.st_mode));
        EXPECT_EQ(FolderNames(outside), (std::vector<std::string>{"fifo", "precious.txt"}));
        EXPECT_EQ(FolderNames(folder.Path), (std::vector<std::string>{"a.txt", "outside"}));
    }
}

} // namespace
} // namespace elsetry::test
