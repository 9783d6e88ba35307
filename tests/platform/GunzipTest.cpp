// Reading the downloaded group file: gzip or plain text, bounded, deleted once read.

#include "platform/Gunzip.h"
#include "tests/support/TempFolder.h"
#include "tools/catalogue-service/CatalogueService.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace elsetry::test {
namespace {

using TLines = std::vector<std::string>;

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
        {"gzip whose trailer claims 4 GB", compressed.substr(0, compressed.size() - 4) + "\xFF\xFF\xFF\xFF", {}, true},
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

TEST(Gunzip, DecompressionIsBoundedInBytesAndLines)
{
    struct TCase {
        const char* What;
        std::string Text;
        std::size_t MaxBytes;
        std::size_t MaxLines;
        std::size_t Lines; // 0: too large
    };
    const TCase cases[] = {
        {"one byte too many", std::string(100000, 'x'), 99999, 10, 0},
        {"exactly the bytes allowed", std::string(100000, 'x'), 100000, 10, 1},
        {"one line too many", std::string(1001, '\n'), 100000, 1000, 0},
        {"exactly the lines allowed", std::string(1000, '\n'), 100000, 1000, 1000},
        {"CR LF ends count once", "a\r\n" + std::string(999, '\r'), 100000, 1000, 1000},
        {"an unended last line counts", std::string(999, '\n') + "z", 100000, 1000, 1000},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.What);
        TTempFolder folder;
        const std::string path = folder.Write("Kep2.gz", service::GzipText(c.Text));
        if (c.Lines == 0) {
            EXPECT_THROW(GunzipToLines(path, c.MaxBytes, c.MaxLines), EAnswerTooLarge);
        } else {
            EXPECT_EQ(GunzipToLines(path, c.MaxBytes, c.MaxLines).size(), c.Lines);
        }
        EXPECT_FALSE(std::filesystem::exists(path));
    }
}

TEST(Gunzip, DefaultBoundsStopANewlineBombBeforeAnyLineIsMade)
{
    TTempFolder folder;
    const std::string bomb = service::GzipText(std::string(GroupLineLimit + 1, '\n'));
    ASSERT_LT(bomb.size(), 4096U);
    const std::string path = folder.Write("Kep4.gz", bomb);
    EXPECT_THROW(GunzipToLines(path), EAnswerTooLarge);
    EXPECT_THROW(BoundedLines(std::string(GroupTextLimitBytes + 1, 'x')), EAnswerTooLarge);
}

TEST(Gunzip, MissingFileGivesNoLinesAndLongPathIsRefused)
{
    TTempFolder folder;
    EXPECT_TRUE(GunzipToLines(folder.Path + "/absent.gz").empty());
    EXPECT_THROW(GunzipToLines("/" + std::string(MaxGzipPathLength, 'k')), EGzipPathTooLong);
}

} // namespace
} // namespace elsetry::test
