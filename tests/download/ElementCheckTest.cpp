// The check of a downloaded text read as a whole: what follows its comment lines, its complete
// sets, and the count lines, the same as for the text's lines.

#include "elementfiles/ElementCheck.h"

#include "elements/SatelliteList.h"
#include "tests/support/TestElementSets.h"
#include "text/Lines.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace elsetry::test {
namespace {

using TLines = std::vector<std::string>;

std::string Printable(std::string_view Text)
{
    std::string shown;
    for (const char c : Text)
        shown += c == '\r' ? "\\r" : c == '\n' ? "\\n" : std::string(1, c);
    return shown;
}

TEST(AfterCommentLinesTest, DropsAtMostTwoLeadingCommentLinesOfALongerText)
{
    const std::pair<std::string_view, std::string_view> cases[] = {
        {"", ""},
        {"#a", "#a"},
        {"#a\n#b", "#a\n#b"}, // two lines keep their comments
        {"#a\n#b\n", "#a\n#b\n"},
        {"#a\r\n#b\r\n", "#a\r\n#b\r\n"},
        {"#a\n#b\nc", "c"},
        {"#a\n#b\nc\n", "c\n"},
        {"#a\n#b\n#c\nd\n", "#c\nd\n"}, // no more than two
        {"#a\nb\n#c\n", "b\n#c\n"},     // only leading ones
        {"a\n#b\n#c\n", "a\n#b\n#c\n"},
        {"#a\r\n#b\r\nc\r\n", "c\r\n"},
        {"#a\r#b\rc", "c"},
        {"#a\r\n#b\rc\nd", "c\nd"},
        {" #a\nb\nc", " #a\nb\nc"}, // a comment begins in the first column
        {"#\n\n\n", "\n\n"},        // "#" alone is a comment, an empty line none
        {"\n#a\n#b\n", "\n#a\n#b\n"},
        {"#a\n#b\n\n", "\n"},
        {"#a\n#b\n#c", "#c"},
        {"#a\n\n", "#a\n\n"}, // two lines: "#a" and ""
        {"#a\n\n\n", "\n\n"},
    };
    for (const auto& [text, after] : cases) {
        EXPECT_EQ(AfterCommentLines(text), after) << Printable(text);
        EXPECT_EQ(AfterCommentLines(text).data() + AfterCommentLines(text).size(), text.data() + text.size())
            << "the rest of the text itself: " << Printable(text);
    }
}

// The whole-text forms against the forms for the text's lines, on random texts of comment lines,
// names, element lines and blank lines with every line end.
TEST(AfterCommentLinesTest, AgreesWithRemovingTheCommentLinesOfTheLines)
{
    const std::string lines[] = {
        "#", "# CelesTrak", "", " ", "ISS (ZARYA)", " #not", LineOne("25544"), LineTwo("25544"), "##"};
    const char* const ends[] = {"\n", "\r\n", "\r"};
    std::mt19937 random(31);
    for (int round = 0; round < 20000; ++round) {
        const std::size_t count = random() % 12;
        std::string text;
        for (std::size_t line = 0; line < count; ++line) {
            // Comment lines first more often than not.
            const std::size_t pick = line < 3 && random() % 2 == 0 ? random() % 2 : random() % std::size(lines);
            text += lines[pick];
            if (line + 1 < count || random() % 2 == 0)
                text += ends[random() % std::size(ends)];
        }
        TLines expected = LineCopies(SplitLines(text));
        RemoveCommentLines(expected);
        const std::string_view after = AfterCommentLines(text);
        ASSERT_EQ(LineCopies(SplitLines(after)), expected) << Printable(text);
        ASSERT_EQ(CompleteSetCount(after), CompleteSetCount(expected)) << Printable(text);
        ASSERT_EQ(CompleteSetCount(std::string_view(text)), static_cast<int>(SplitLines(text).size() / 3))
            << Printable(text);
    }
}

struct TCountCase {
    const char* What;
    std::string Text;
    TLines Log;
};

TEST(CountCheckLinesTest, CountsTheSetsAndNamesTheMissingOnes)
{
    const std::string broken = "BROKEN\n" + LineOne("44444") + "\n" + LineTwo("44445") + "\n";
    const std::string controls = "BRO\x1b[2JKEN\n" + LineOne("66666") + "\n" + LineTwo("66667") + "\n";
    const TCountCase cases[] = {
        {"every name loaded", ThreeLines("SAT A", "11111") + ThreeLines("SAT B", "22222"), {"      2 satellites"}},
        {"names compare as the list folds them",
         ThreeLines("sat a", "11111") + ThreeLines(" SAT B\t", "22222"),
         {"      2 satellites"}},
        {"an incomplete set is no set",
         ThreeLines("SAT A", "11111") + ThreeLines("SAT B", "22222") + "EXTRA\n",
         {"      2 satellites"}},
        {"a set that did not load",
         ThreeLines("SAT A", "11111") + broken,
         {"      2 satellites, 1 unique names", "         Missing: BROKEN"}},
        {"one name twice",
         ThreeLines("SAT A", "11111", "08264.0") + ThreeLines("SAT A", "22222", "08265.0"),
         {"      2 satellites, 1 unique names"}},
        {"a set replaced under another name",
         ThreeLines("OLD NAME", "11111", "08264.0") + ThreeLines("NEW NAME", "11111", "08265.0"),
         {"      2 satellites, 1 unique names", "         Missing: OLD NAME"}},
        {"names are shown with their controls escaped",
         ThreeLines("SAT A", "11111") + controls,
         {"      2 satellites, 1 unique names", "         Missing: BRO\\x1b[2JKEN"}},
        {"long names are cut by the list",
         ThreeLines("A NAME LONGER THAN TWENTY-FOUR CHARACTERS", "11111") + ThreeLines("SAT B", "22222") + broken,
         {"      3 satellites, 2 unique names", "         Missing: A NAME LONGER THAN TWENTY-FOUR CHARACTERS",
          "         Missing: BROKEN"}},
    };
    for (const TCountCase& c : cases) {
        // The same for every line end.
        for (const char* end : {"\n", "\r\n", "\r"}) {
            std::string text = c.Text;
            for (std::size_t at = text.find('\n'); at != std::string::npos; at = text.find('\n', at + std::strlen(end)))
                text.replace(at, 1, end);
            TSatelliteList list;
            list.LoadFromText(text, "g.txt");
            EXPECT_EQ(CountCheckLines(text, list), c.Log) << c.What << " with " << Printable(end);
        }
    }
}

TEST(CountCheckLinesTest, NamesTheFirstFiftyMissingOnes)
{
    for (const int missing : {49, 50, 51, 137}) {
        std::string text = ThreeLines("LOADED", "11111");
        for (int set = 0; set < missing; ++set) {
            const std::string number = std::to_string(20000 + set);
            text += "MISSING " + std::to_string(set) + "\r\n" + LineOne(number) + "\r\n" + LineTwo("99999") + "\r\n";
        }
        TSatelliteList list;
        list.SetLoadThreads(2);
        list.LoadFromText(text, "g.txt");
        TLines expected{"      " + std::to_string(missing + 1) + " satellites, 1 unique names"};
        for (int set = 0; set < std::min(missing, MissingLinesShown); ++set)
            expected.push_back("         Missing: MISSING " + std::to_string(set));
        if (missing > MissingLinesShown)
            expected.push_back("         ... and " + std::to_string(missing - MissingLinesShown) + " more");
        EXPECT_EQ(CountCheckLines(text, list), expected) << missing << " missing";
    }
}

// The check of a text after its comment lines, its sets loaded without them, says what the
// check of its lines says.
TEST(CountCheckLinesTest, ChecksTheTextAfterItsCommentLines)
{
    const std::string text = "# one\r\n# two\r\n" + ThreeLines("SAT A", "11111") + "BROKEN\n" + LineOne("44444") + "\n"
                             + LineTwo("44445") + "\n";
    const std::string_view after = AfterCommentLines(text);
    TSatelliteList list;
    list.LoadFromText(std::string(after), "g.txt");
    EXPECT_EQ(CompleteSetCount(after), 2);
    EXPECT_EQ(CountCheckLines(after, list), (TLines{"      2 satellites, 1 unique names", "         Missing: BROKEN"}));
}

} // namespace
} // namespace elsetry::test
