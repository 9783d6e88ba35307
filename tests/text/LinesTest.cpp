#include "text/Lines.h"

#include <gtest/gtest.h>

#include <random>

using namespace elsetry;

namespace {

using TLines = std::vector<std::string>;

// The lines of a text by the rule, a byte at a time: a line ends at CR LF, at a CR alone and at
// an LF alone, and a final line end adds no empty line.
TLines ReferenceLines(std::string_view Text)
{
    TLines lines;
    std::string line;
    for (std::size_t i = 0; i < Text.size(); ++i) {
        if (Text[i] != '\r' && Text[i] != '\n') {
            line += Text[i];
            continue;
        }
        lines.push_back(line);
        line.clear();
        if (Text[i] == '\r' && i + 1 < Text.size() && Text[i + 1] == '\n')
            ++i;
    }
    if (!Text.empty() && Text.back() != '\r' && Text.back() != '\n')
        lines.push_back(line);
    return lines;
}

// Line count, the lines and a reader's lines against the rule; Text is read from every byte
// offset of a buffer, so that the eight-byte words fall everywhere.
void ExpectLinesAsTheRuleSays(const std::string& Text, const std::string& What)
{
    const TLines expected = ReferenceLines(Text);
    std::string buffer(8 + Text.size(), '\n');
    for (std::size_t offset = 0; offset < 8; ++offset) {
        buffer.replace(offset, Text.size(), Text);
        const std::string_view text(buffer.data() + offset, Text.size());
        ASSERT_EQ(LineCount(text), expected.size()) << What << " at offset " << offset;
        ASSERT_EQ(LineCopies(SplitLines(text)), expected) << What << " at offset " << offset;
        TLineReader reader(text);
        for (const std::string& line : expected) {
            ASSERT_FALSE(reader.AtEnd()) << What;
            ASSERT_EQ(reader.Read(), line) << What;
        }
        ASSERT_TRUE(reader.AtEnd()) << What;
        ASSERT_EQ(reader.Read(), "") << What;
        ASSERT_TRUE(reader.Rest().empty()) << What;
    }
}

std::string Printable(const std::string& Text)
{
    std::string shown;
    for (const char c : Text)
        shown += c == '\r' ? "\\r" : c == '\n' ? "\\n" : std::string(1, c);
    return shown;
}

TEST(LinesTest, SplitLinesAtAnyLineEndAndSplitAtLineFeedsAtLfAlone)
{
    struct TCase {
        std::string_view Text;
        TLines AnyEnd;
        TLines LineFeeds;
    };
    const TCase cases[] = {
        {"", {}, {}},
        {"a", {"a"}, {"a"}},
        {"a\n", {"a"}, {"a"}},
        {"a\r\n", {"a"}, {"a"}},
        {"a\r", {"a"}, {"a"}},
        {"\n", {""}, {""}},
        {"\n\n", {"", ""}, {"", ""}},
        {"a\n\nb", {"a", "", "b"}, {"a", "", "b"}},
        {"\r\n\r\n", {"", ""}, {"", ""}},
        {"\n\r", {"", ""}, {"", ""}},
        {"a\rb", {"a", "b"}, {"a\rb"}},
        {"a\r\r\n", {"a", ""}, {"a\r"}},
        {"a\r\rb\n", {"a", "", "b"}, {"a\r\rb"}},
        {"25544\r\n7530\r33591\n", {"25544", "7530", "33591"}, {"25544", "7530\r33591"}},
        {"\xe9t\xe9\r\n\xff", {"\xe9t\xe9", "\xff"}, {"\xe9t\xe9", "\xff"}},
    };
    for (const TCase& c : cases) {
        EXPECT_EQ(LineCopies(SplitLines(c.Text)), c.AnyEnd) << c.Text;
        EXPECT_EQ(LineCopies(SplitAtLineFeeds(c.Text)), c.LineFeeds) << c.Text;
        EXPECT_EQ(LineCount(c.Text), c.AnyEnd.size()) << c.Text;
    }
}

// Every length up to a hundred, so that every word boundary meets every line end.
TEST(LinesTest, LineCountAgreesWithTheLinesOfRandomTexts)
{
    std::mt19937 random(20261208);
    const char alphabet[] = {'\r', '\n', 'a'};
    for (std::size_t length = 0; length <= 100; ++length)
        for (int round = 0; round < 60; ++round) {
            std::string text(length, 'a');
            for (char& c : text)
                c = alphabet[random() % 3];
            ExpectLinesAsTheRuleSays(text, Printable(text));
        }
    // Longer ones cross the points where the byte counters are added up.
    for (int round = 0; round < 300; ++round) {
        std::string text(random() % 3000, 'a');
        const unsigned ends = 1 + random() % 6; // from a few line ends to almost nothing else
        for (char& c : text)
            c = random() % 8 < ends ? alphabet[random() % 2] : 'a';
        ExpectLinesAsTheRuleSays(text, "random text of " + std::to_string(text.size()) + " bytes");
    }
}

TEST(LinesTest, LineCountOfTextsOfLineEndsOnly)
{
    struct TCase {
        std::string What;
        std::string Text;
        std::size_t Lines;
    };
    std::string alternating;
    for (int i = 0; i < 5000; ++i)
        alternating += i % 2 == 0 ? "\r\n" : "\n";
    std::string lfThenCr;
    for (int i = 0; i < 5000; ++i)
        lfThenCr += "\n\r";
    const TCase cases[] = {
        {"10000 LF", std::string(10000, '\n'), 10000},
        {"10000 CR", std::string(10000, '\r'), 10000},
        {"10000 CR LF",
         [] {
             std::string text;
             for (int i = 0; i < 10000; ++i)
                 text += "\r\n";
             return text;
         }(),
         10000},
        {"CR LF and LF alternating", alternating, 5000},
        {"LF CR: an LF, then CR LF pairs, then a CR", lfThenCr, 5001},
        {"248 LF, a counter's worth", std::string(248, '\n'), 248},
        {"249 LF", std::string(249, '\n'), 249},
        {"10000 LF and a line", std::string(10000, '\n') + "x", 10001},
    };
    for (const TCase& c : cases) {
        EXPECT_EQ(LineCount(c.Text), c.Lines) << c.What;
        ExpectLinesAsTheRuleSays(c.Text, c.What);
    }
}

// A CR LF whose CR ends an eight-byte word, or the words added up at a time, is one line end.
TEST(LinesTest, CrLfAcrossWordBoundariesIsOneLineEnd)
{
    for (const std::size_t before : {std::size_t{7}, std::size_t{15}, std::size_t{63}, std::size_t{247},
                                     std::size_t{255}, std::size_t{495}, std::size_t{503}, std::size_t{991}}) {
        for (const std::size_t after : {std::size_t{0}, std::size_t{1}, std::size_t{9}, std::size_t{300}}) {
            const std::string text = std::string(before, 'a') + "\r\n" + std::string(after, 'b');
            const std::size_t expected = after == 0 ? 1 : 2;
            EXPECT_EQ(LineCount(text), expected) << before << " bytes, CR LF, " << after << " bytes";
            ExpectLinesAsTheRuleSays(text, std::to_string(before) + " bytes, CR LF");
        }
    }
    // A CR LF in every word, the CR at each place in turn: at the last place, its LF begins the
    // next word.
    for (std::size_t place = 0; place < 8; ++place) {
        std::string text(800, 'x');
        for (std::size_t word = 0; word < 100; ++word) {
            text[8 * word + place] = '\r';
            if (8 * word + place + 1 < text.size())
                text[8 * word + place + 1] = '\n';
        }
        EXPECT_EQ(LineCount(text), place >= 6 ? 100u : 101u) << "CR at place " << place;
        ExpectLinesAsTheRuleSays(text, "CR at place " + std::to_string(place));
    }
}

} // namespace
