#include "text/Strings.h"

#include "tests/support/PlainText.h"

#include <gtest/gtest.h>

#include <clocale>
#include <random>

using namespace elsetry;
using namespace elsetry::test;

namespace {

// Longer than eight bytes where it matters, so that UpperCase's word-at-a-time part is tried.
TEST(StringsTest, CaseChangesTouchOnlyAsciiLetters)
{
    struct TCase {
        std::string_view Text;
        std::string_view Upper;
        std::string_view Lower;
    };
    const TCase cases[] = {
        {"", "", ""},
        {"iss (zarya) \xe9", "ISS (ZARYA) \xe9", "iss (zarya) \xe9"},
        {"@AZ[`az{", "@AZ[`AZ{", "@az[`az{"},
        // Bytes whose low seven bits are letters: 0xE1 is 0x80 + 'a', 0xC1 is 0x80 + 'A'.
        {"\xe1\xe9\xfa\xc1\xc9\xda\xff\x80" "abcZ", "\xe1\xe9\xfa\xc1\xc9\xda\xff\x80" "ABCZ", "\xe1\xe9\xfa\xc1\xc9\xda\xff\x80" "abcz"},
        {"noaa 15 \xe9t\xe9 noaa 16", "NOAA 15 \xe9T\xe9 NOAA 16", "noaa 15 \xe9t\xe9 noaa 16"},
    };
    for (const TCase& c : cases) {
        EXPECT_EQ(UpperCase(c.Text), c.Upper) << c.Text;
        EXPECT_EQ(LowerCase(c.Text), c.Lower) << c.Text;
    }
}

TEST(StringsTest, TextsCompareAsTheirLowerCaseFormsWithUnsignedBytes)
{
    struct TCase {
        std::string_view A;
        std::string_view B;
        int Order; // sign of CompareText(A, B)
    };
    const TCase cases[] = {
        {"", "", 0},
        {"TLEnotes.txt", "tlenotes.TXT", 0},
        {"i", "I", 0},
        {"a", "B", -1},
        {"_", "a", -1}, // "_" lies between "Z" and "a": folding to upper case would order it last
        {"Software\\X", "Software_X", -1},
        {"ab", "ABC", -1},
        {"abc", "AB", 1},
        {"\xe9", "\xc9", 1}, // no folding beyond ASCII
        {"\x80", "z", 1},    // bytes count as unsigned
    };
    for (const TCase& c : cases) {
        const int order = CompareText(c.A, c.B);
        EXPECT_EQ((order > 0) - (order < 0), c.Order) << c.A << " " << c.B;
        EXPECT_EQ(SameText(c.A, c.B), c.Order == 0) << c.A << " " << c.B;
    }
}

TEST(StringsTest, PrefixesAndSuffixesIgnoringCase)
{
    EXPECT_TRUE(StartsWithIgnoringCase("HKEY_current_user\\Software", "hkey_CURRENT_USER"));
    EXPECT_TRUE(StartsWithIgnoringCase("DWORD:0000001", "dword:"));
    EXPECT_TRUE(StartsWithIgnoringCase("hex", ""));
    EXPECT_FALSE(StartsWithIgnoringCase("he", "hex"));
    EXPECT_FALSE(StartsWithIgnoringCase("\xc9x", "\xe9"));
    EXPECT_TRUE(EndsWithIgnoringCase("weather.TLE", ".tle"));
    EXPECT_TRUE(EndsWithIgnoringCase(".tle", ".TLE"));
    EXPECT_FALSE(EndsWithIgnoringCase("tle", ".tle"));
    EXPECT_FALSE(EndsWithIgnoringCase("weather.tle.bak", ".tle"));
}

// Runs under an 8-bit locale with other case rules where one is installed, else under the default.
TEST(StringsTest, CaseIgnoresTheProcessLocale)
{
    for (const char* name : {"tr_TR.ISO-8859-9", "tr_TR", "de_DE.ISO-8859-1", "de_DE"})
        if (std::setlocale(LC_CTYPE, name) != nullptr)
            break;
    EXPECT_TRUE(SameText("hkey_current_user", "HKEY_CURRENT_USER"));
    EXPECT_FALSE(SameText("\xe9", "\xc9"));
    EXPECT_FALSE(SameText("\xfd", "I"));
    EXPECT_EQ(UpperCase("i\xe9"), "I\xe9");
    std::setlocale(LC_CTYPE, "C");
}

TEST(StringsTest, TrimDropsBlanksAndControlsAtBothEnds)
{
    const std::pair<std::string_view, std::string_view> cases[] = {
        {"", ""},
        {" \t ", ""},
        {"\t  NOAA 15 \r\x01", "NOAA 15"},
        {std::string_view("\0x\0", 3), "x"},
        {"a  b", "a  b"},
        {"\x7f" "a\xa0", "\x7f" "a\xa0"}, // DEL and bytes from 0x80 on are not blanks
    };
    for (const auto& [text, trimmed] : cases)
        EXPECT_EQ(Trim(text), trimmed) << text;
}

TEST(StringsTest, EscapeControlsShowsControlBytesAndBackslashesAsEscapes)
{
    const std::pair<std::string_view, std::string_view> cases[] = {
        {"", ""},
        {"NOAA 15", "NOAA 15"},
        {"\x1b[2J\x1b]0;owned\x07", "\\x1b[2J\\x1b]0;owned\\x07"},
        {std::string_view("a\0b", 3), "a\\x00b"},
        {"tab\there\r\n", "tab\\x09here\\x0d\\x0a"},
        {"\x7f", "\\x7f"},
        {"C:\\x1b", "C:\\\\x1b"},          // a backslash in the text cannot pass for an escape
        {"Zvezda \xc3\xa9\xa0", "Zvezda \\xc3\\xa9\\xa0"}, // no byte from 0x80 on is printable ASCII
        {"\x9b" "2J\x85\xff", "\\x9b2J\\x85\\xff"},          // C1 controls: CSI, NEL
    };
    for (const auto& [text, shown] : cases)
        EXPECT_EQ(EscapeControls(text), shown) << shown;
}

// Bytes next to the letters in ASCII and with the high bit set, where word-at-a-time tests go
// wrong first.
constexpr unsigned char NearLetters[] = {'`',  'a',  'b',  'y',  'z',  '{',  '@',  'A',  'Z',  '[', 0x60 + 0x80,
                                         0xE1, 0xFA, 0xFB, 0xC1, 0xDA, 0x80, 0xFF, 0x7F, 0x00, ' ', '0'};

bool PlainHasLowerCase(std::string_view Text)
{
    for (const char c : Text)
        if (c >= 'a' && c <= 'z')
            return true;
    return false;
}

TEST(StringsTest, HasLowerCaseAndUpperCaseAgreeWithAByteLoop)
{
    std::mt19937 random(808);
    for (std::size_t length = 0; length <= 70; ++length)
        for (int round = 0; round < 200; ++round) {
            std::string text(length, ' ');
            const bool anyByte = round % 2 == 0;
            // Lower-case letters are rare in most texts, so that their absence is tried as well.
            for (char& c : text)
                c = anyByte ? static_cast<char>(random() % 256)
                            : static_cast<char>(NearLetters[random() % std::size(NearLetters)]);
            if (round % 4 < 2)
                for (char& c : text)
                    if (c >= 'a' && c <= 'z' && random() % 8 != 0)
                        c = static_cast<char>(c - 'a' + 'A');
            ASSERT_EQ(HasLowerCase(text), PlainHasLowerCase(text)) << length << " bytes, round " << round;
            ASSERT_EQ(UpperCase(text), PlainUpperCase(text)) << length << " bytes, round " << round;
        }
}

// One lower-case letter among bytes that are none, at every place of a text.
TEST(StringsTest, HasLowerCaseFindsOneLetterAnywhere)
{
    const unsigned char noLetters[] = {'`', '{', '@', '[', 'A', 'Z', 0xE1, 0xFA, 0xC1, 0xDA, 0x80, 0xFF, 0x7F, 0x00};
    for (const unsigned char filler : noLetters)
        for (std::size_t length = 1; length <= 40; ++length) {
            const std::string none(length, static_cast<char>(filler));
            ASSERT_FALSE(HasLowerCase(none)) << int{filler} << " x " << length;
            for (std::size_t at = 0; at < length; ++at)
                for (const char letter : {'a', 'm', 'z'}) {
                    std::string text = none;
                    text[at] = letter;
                    ASSERT_TRUE(HasLowerCase(text)) << int{filler} << " x " << length << ", " << letter << " at " << at;
                    ASSERT_TRUE(HasLowerCase(std::string_view(text).substr(at))) << at;
                    ASSERT_FALSE(HasLowerCase(std::string_view(text).substr(0, at))) << at;
                }
        }
}

} // namespace
