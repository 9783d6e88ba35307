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

} // namespace
} // namespace elsetry::test
