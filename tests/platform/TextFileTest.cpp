// Reading a file the program is about to extend: only a regular file is read, never through a
// link, never waiting on a FIFO, and never past a bound.

#include "platform/TextFile.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sys/stat.h>

namespace elsetry::test {
namespace {

TEST(TextFile, OnlyARegularFileWithinTheBoundIsRead)
{
    struct TCase {
        const char* What;
        void (*Make)(const std::string& Place);
        TFileKind Kind;
        std::string Read; // the text, or the cause of the failure
    };
    const TCase cases[] = {
        {"regular file", [](const std::string& P) { std::filesystem::copy_file(P + ".src", P); },
         TFileKind::Regular, "0123456789"},
        {"nothing", [](const std::string&) {}, TFileKind::Missing, "No such file or directory"},
        {"link to a regular file",
         [](const std::string& P) { std::filesystem::create_symlink(P + ".src", P); },
         TFileKind::SymbolicLink, "a symbolic link"},
        {"FIFO", [](const std::string& P) { ::mkfifo(P.c_str(), 0600); }, TFileKind::Special,
         "not a regular file"},
        {"folder", [](const std::string& P) { std::filesystem::create_directory(P); },
         TFileKind::Special, "not a regular file"},
        {"larger than the bound",
         [](const std::string& P) { std::ofstream(P, std::ios::binary) << std::string(11, 'x'); },
         TFileKind::Regular, "too large"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.What);
        TTempFolder folder;
        const std::string place = folder.Path + "/h.txt";
        folder.Write("h.txt.src", "0123456789");
        c.Make(place);
        EXPECT_EQ(FileKindAt(place), c.Kind);
        std::string read;
        try {
            read = ReadRegularFile(place, 10);
        } catch (const EFileError& Error) {
            read = Error.Cause();
        }
        EXPECT_EQ(read, c.Read);
    }
    EXPECT_THROW(FileKindAt("/proc/self/status/h.txt"), EFileError);
}

} // namespace
} // namespace elsetry::test
