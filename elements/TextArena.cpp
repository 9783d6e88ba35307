#include "elements/TextArena.h"

#include "text/Strings.h"

#include <algorithm>
#include <cstring>

namespace elsetry {

namespace {

// Copies are rare (lower-case letters in a file, notes); one block holds a great many.
constexpr std::size_t BlockSize = 64 * 1024;

} // namespace

std::string_view TTextArena::Keep(std::shared_ptr<const std::string> Text)
{
    const std::string_view view = *Text;
    Texts.push_back(std::move(Text));
    return view;
}

char* TTextArena::Room(std::size_t Size)
{
    if (Size > Left) {
        // A piece larger than a block gets a block of its own.
        const std::size_t size = std::max(Size, BlockSize);
        Blocks.push_back(std::make_unique_for_overwrite<char[]>(size));
        Next = Blocks.back().get();
        Left = size;
    }
    char* const room = Next;
    Next += Size;
    Left -= Size;
    return room;
}

std::string_view TTextArena::Copy(std::string_view Text)
{
    if (Text.empty())
        return {};
    char* const room = Room(Text.size());
    std::memcpy(room, Text.data(), Text.size());
    return {room, Text.size()};
}

std::string_view TTextArena::UpperCased(std::string_view Text)
{
    return HasLowerCase(Text) ? Copy(UpperCase(Text)) : Text;
}

void TTextArena::Adopt(TTextArena& Other)
{
    std::move(Other.Texts.begin(), Other.Texts.end(), std::back_inserter(Texts));
    // Other's partly used block goes first, so that this arena's current block stays current.
    std::move(Other.Blocks.begin(), Other.Blocks.end(), std::inserter(Blocks, Blocks.begin()));
    Other.Texts.clear();
    Other.Blocks.clear();
    Other.Next = nullptr;
    Other.Left = 0;
}

void TTextArena::Clear()
{
    Texts.clear();
    Blocks.clear();
    Next = nullptr;
    Left = 0;
}

} // namespace elsetry
