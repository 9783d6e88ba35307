#include "elements/TextArena.h"

#include "tests/support/PlainText.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

using namespace elsetry;
using namespace elsetry::test;

namespace {

bool Inside(std::string_view Piece, std::string_view Whole)
{
    return Piece.data() >= Whole.data() && Piece.data() + Piece.size() <= Whole.data() + Whole.size();
}

TEST(TextArenaTest, CopyIsAnEqualTextElsewhere)
{
    TTextArena arena;
    const std::string texts[] = {"a", "ISS (ZARYA)", std::string(100, 'x'), std::string("\0zero\0", 6)};
    for (const std::string& text : texts) {
        const std::string_view copy = arena.Copy(text);
        EXPECT_EQ(copy, text);
        EXPECT_FALSE(Inside(copy, text)) << text;
    }
    EXPECT_TRUE(arena.Copy("").empty());
}

TEST(TextArenaTest, UpperCasedViewsTheTextItselfUnlessItHoldsALowerCaseLetter)
{
    struct TCase {
        std::string Text;
        std::string Upper;
        bool Copied;
    };
    const TCase cases[] = {
        {"", "", false},
        {"ISS (ZARYA)", "ISS (ZARYA)", false},
        {"@[`{ AZ 09", "@[`{ AZ 09", false}, // the neighbours of the letters are no letters
        {"\xe1\xfa\xc1\xff longer than eight", "\xe1\xfa\xc1\xff LONGER THAN EIGHT", true},
        {"\xe1\xfa\xc1\xff LONGER THAN EIGHT", "\xe1\xfa\xc1\xff LONGER THAN EIGHT", false},
        {"iss (zarya)", "ISS (ZARYA)", true},
        {"NOAA 1a", "NOAA 1A", true},     // in the tail after the last whole word
        {"a2345678", "A2345678", true},   // first byte of a whole word
        {"1234567z", "1234567Z", true},   // last byte of a whole word
        {"12345678z", "12345678Z", true}, // alone after a whole word
    };
    TTextArena arena;
    for (const TCase& c : cases) {
        const std::string_view upper = arena.UpperCased(c.Text);
        EXPECT_EQ(upper, c.Upper) << c.Text;
        if (c.Copied) {
            EXPECT_FALSE(Inside(upper, c.Text)) << c.Text;
        } else if (!c.Text.empty()) {
            EXPECT_EQ(upper.data(), c.Text.data()) << c.Text;
        }
    }
}

TEST(TextArenaTest, KeepViewsTheSharedTextAndHoldsItAsLongAsTheArena)
{
    auto text = std::make_shared<const std::string>("NAME\n" + std::string(200, '1') + "\n");
    const std::weak_ptr<const std::string> watch = text;
    {
        TTextArena arena;
        const std::string_view kept = arena.Keep(text);
        EXPECT_EQ(kept.data(), text->data());
        EXPECT_EQ(kept.size(), text->size());
        text.reset();
        ASSERT_FALSE(watch.expired());
        EXPECT_EQ(kept.substr(0, 4), "NAME");
        arena.Clear();
        EXPECT_TRUE(watch.expired());
    }
    auto again = std::make_shared<const std::string>("again");
    const std::weak_ptr<const std::string> watchAgain = again;
    {
        TTextArena arena;
        arena.Keep(std::move(again));
        EXPECT_FALSE(watchAgain.expired());
    }
    EXPECT_TRUE(watchAgain.expired());
}

// Pieces below a block, one of exactly a block, and ones larger than a block, mixed: every piece
// stays what it was while the arena fills up.
TEST(TextArenaTest, PiecesOfEverySizeStayInPlace)
{
    constexpr std::size_t blockSize = 64 * 1024;
    const std::size_t sizes[] = {1,    10, blockSize - 5,      7,  blockSize, 3, blockSize + 1, 2, 5 * blockSize, 60000,
                                 9000, 1,  3 * blockSize + 17, 100};
    TTextArena arena;
    std::vector<std::string> originals;
    std::vector<std::string_view> copies;
    for (std::size_t i = 0; i < std::size(sizes); ++i) {
        // Every other piece is upper-cased, so each holds a lower-case letter somewhere.
        std::string text(sizes[i], static_cast<char>('a' + i));
        if (text.size() > 2) {
            text.front() = static_cast<char>('A' + i);
            text.back() = static_cast<char>('0' + i % 10);
        }
        copies.push_back(i % 2 == 0 ? arena.Copy(text) : arena.UpperCased(text));
        originals.push_back(i % 2 == 0 ? text : PlainUpperCase(text));
        ASSERT_EQ(copies.back().size(), sizes[i]);
    }
    for (std::size_t i = 0; i < copies.size(); ++i) {
        EXPECT_EQ(copies[i], originals[i]) << i;
        for (std::size_t j = i + 1; j < copies.size(); ++j)
            EXPECT_FALSE(copies[i].data() < copies[j].data() + copies[j].size()
                         && copies[j].data() < copies[i].data() + copies[i].size())
                << "pieces " << i << " and " << j << " overlap";
    }
}

TEST(TextArenaTest, AdoptTakesEverythingOverAndBothGoOnCopying)
{
    TTextArena taker;
    const std::string_view before = taker.Copy("kept by the taker");
    std::vector<std::pair<std::string_view, std::string>> pieces;
    auto shared = std::make_shared<const std::string>("a text that others hold too");
    const std::weak_ptr<const std::string> watch = shared;
    {
        TTextArena other;
        pieces.emplace_back(other.Copy("first of the other"), "first of the other");
        pieces.emplace_back(other.UpperCased("lower case"), "LOWER CASE");
        pieces.emplace_back(other.Copy(std::string(70000, 'b')), std::string(70000, 'b'));
        pieces.emplace_back(other.Keep(std::move(shared)), "a text that others hold too");
        pieces.emplace_back(other.Copy("partly used block"), "partly used block");
        taker.Adopt(other);
        // The other arena is left empty and usable; what it makes now is its own.
        const std::string_view later = other.Copy("made after the adoption");
        EXPECT_EQ(later, "made after the adoption");
        pieces.emplace_back(taker.Copy("the taker goes on"), "the taker goes on");
        pieces.emplace_back(taker.Copy(std::string(66000, 'c')), std::string(66000, 'c'));
    }
    EXPECT_FALSE(watch.expired());
    EXPECT_EQ(before, "kept by the taker");
    for (const auto& [view, text] : pieces)
        EXPECT_EQ(view, text);
    // Adopting into an empty arena, then from an empty one, changes nothing that is held.
    TTextArena empty;
    TTextArena last;
    last.Adopt(taker);
    last.Adopt(empty);
    EXPECT_EQ(before, "kept by the taker");
    for (const auto& [view, text] : pieces)
        EXPECT_EQ(view, text);
    last.Clear();
    EXPECT_TRUE(watch.expired());
}

TEST(TextArenaTest, AdoptingManyArenasKeepsEveryPiece)
{
    // As a load does: one arena per thread, each adopted at the end.
    TTextArena list;
    std::vector<std::pair<std::string_view, std::string>> pieces;
    for (int round = 0; round < 4; ++round) {
        std::vector<TTextArena> threads(5);
        for (int piece = 0; piece < 2000; ++piece) {
            const std::string text = "satellite " + std::to_string(round) + "-" + std::to_string(piece)
                                     + std::string(static_cast<std::size_t>(piece % 97), 'x');
            pieces.emplace_back(threads[static_cast<std::size_t>(piece) % threads.size()].UpperCased(text),
                                PlainUpperCase(text));
        }
        for (TTextArena& arena : threads)
            list.Adopt(arena);
        pieces.emplace_back(list.Copy("between rounds"), "between rounds");
    }
    for (const auto& [view, text] : pieces)
        ASSERT_EQ(view, text);
}

} // namespace
