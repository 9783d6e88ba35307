// The pieces of the exchange: form encoding, the query answer's trimming, the proxy port, reading
// gzip files, the temporary file.

#include "download/DownloadExchange.h"
#include "platform/Gunzip.h"
#include "platform/TempFile.h"
#include "platform/TextFile.h"
#include "tests/support/TempFolder.h"
#include "tools/catalogue-service/CatalogueService.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <sys/stat.h>
#include <unistd.h>

namespace elsetry::test {
namespace {

using TLines = std::vector<std::string>;

void Write(const std::string& Path, const std::string& Text)
{
    std::ofstream(Path, std::ios::binary) << Text;
}

TEST(Exchange, FormValuesArePercentEncodedAndJoinedInOrder)
{
    EXPECT_EQ(FormEncode({{"a", "x y"}, {"b", ""}, {"c", "\"1\""}, {"d", "Az09-._~!*'();:@&=+$,/?#[]%"}}),
              "a=x%20y&b=&c=%221%22&d=Az09-._~%21%2A%27%28%29%3B%3A%40%26%3D%2B%24%2C%2F%3F%23%5B%5D%25");
    EXPECT_EQ(FormEncode({{"n", "\xC3\xA9\x01"}}), "n=%C3%A9%01");
}

TEST(Exchange, QueryAnswerTrimming)
{
    struct TCase {
        const char* What;
        TLines Answer;
        TLines Left;
    };
    const TLines set{"ISS", "1 25544U", "2 25544"};
    const TCase cases[] = {
        {"the usual block", {"<pre>", "OBJECT  NAME", "ISS", "1 25544U", "2 25544", "</pre>"}, set},
        {"blank lines around the heading", {"  \t", "<PRE>", " object", "", "ISS", "1 25544U", "2 25544", "x </Pre> y"}, set},
        {"a second blank line goes at the fourth test, the tag then stays",
         {"", "", "<pre>", "ISS", "1 25544U", "2 25544"}, {"<pre>", "ISS", "1 25544U", "2 25544"}},
        {"a tag after the heading stays", {"OBJECT", "<pre>", "ISS"}, {"<pre>", "ISS"}},
        {"nothing left", {"<pre>", "OBJECT", "", "</pre>"}, {}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.What);
        TLines lines = c.Answer;
        TrimPreformattedBlock(lines);
        EXPECT_EQ(lines, c.Left);
    }
}

TEST(Exchange, ProxyPortIsAWholeNumberInRange)
{
    const std::pair<const char*, std::optional<int>> cases[] = {
        {"8080", 8080}, {"0", 0},  {"+3128", 3128},  {"65535", 65535},  {"", std::nullopt},    {"80x", std::nullopt},
        {" 80", std::nullopt}, {"-1", std::nullopt}, {"65536", std::nullopt}, {"99999999999", std::nullopt},
    };
    for (const auto& [text, port] : cases)
        EXPECT_EQ(PortNumber(text), port) << text;
}

TEST(Gunzip, ReadsCompressedOrPlainDataAsLinesAndDeletesTheFile)
{
    const std::string text = "one\r\ntwo\nthree\rfour\r\n\r\nsix";
    const std::string compressed = service::GzipText(text);
    std::string damaged = compressed;
    for (std::size_t i = damaged.size() / 2; i < damaged.size() / 2 + 8; ++i)
        damaged[i] = static_cast<char>(~damaged[i]);
    const TLines all{"one", "two", "three", "four", "", "six"};
    struct TCase {
        const char* What;
        std::string Contents;
        TLines Lines;
        bool Damaged;
    };
    const TCase cases[] = {
        {"gzip", compressed, all, false},
        {"plain text passes through", text, all, false},
        {"empty file", "", {}, false},
        {"damaged gzip", damaged, {}, true},
        {"gzip cut short", compressed.substr(0, compressed.size() - 10), {}, true},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.What);
        TTempFolder folder;
        const std::string path = folder.Write("Kep1.gz", c.Contents);
        if (c.Damaged) {
            EXPECT_THROW(GunzipToLines(path), EGzipData);
        } else {
            EXPECT_EQ(GunzipToLines(path), c.Lines);
        }
        EXPECT_FALSE(std::filesystem::exists(path));
    }
}

TEST(Gunzip, DecompressionIsBounded)
{
    TTempFolder folder;
    const std::string path = folder.Write("Kep2.gz", service::GzipText(std::string(100000, 'x')));
    EXPECT_THROW(GunzipToLines(path, 99999), EGzipData);
    EXPECT_FALSE(std::filesystem::exists(path));
    const std::string exact = folder.Write("Kep3.gz", service::GzipText(std::string(100000, 'x')));
    EXPECT_EQ(GunzipToLines(exact, 100000).size(), 1U);
}

TEST(Gunzip, MissingFileGivesNoLinesAndLongPathIsRefused)
{
    TTempFolder folder;
    EXPECT_TRUE(GunzipToLines(folder.Path + "/absent.gz").empty());
    EXPECT_THROW(GunzipToLines("/" + std::string(MaxGzipPathLength, 'k')), EGzipPathTooLong);
}

TEST(TempFile, NameIsKeptAndAnEarlierFileOfOursIsReplaced)
{
    TTempFolder folder;
    TKepTempFile file(folder.Path);
    EXPECT_TRUE(std::regex_match(FileNameOf(file.Path()), std::regex("Kep[0-9A-F]{1,4}\\.gz")));
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
}

} // namespace
} // namespace elsetry::test
