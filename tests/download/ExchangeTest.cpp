// The pieces of the exchange: form encoding, the query answer's trimming, the proxy port.

#include "download/sources/DownloadExchange.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace elsetry::test {
namespace {

using TLines = std::vector<std::string>;

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

} // namespace
} // namespace elsetry::test
