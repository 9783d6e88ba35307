#pragma once
// The texts a list's satellites view: whole element texts kept as they were read, and the few
// pieces that had to be changed (upper-cased) or come from elsewhere, copied into large blocks.
// Nothing in it moves or goes away before the arena is cleared or destroyed.

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace elsetry {

class TTextArena {
public:
    TTextArena() = default;
    TTextArena(const TTextArena&) = delete;
    TTextArena& operator=(const TTextArena&) = delete;
    TTextArena(TTextArena&&) = default;
    TTextArena& operator=(TTextArena&&) = default;

    // Keeps a whole text, shared with whoever else holds it, and views it.
    std::string_view Keep(std::shared_ptr<const std::string> Text);
    // A copy of Text.
    std::string_view Copy(std::string_view Text);
    // Text itself when it holds no lower-case letter, else an upper-cased copy.
    std::string_view UpperCased(std::string_view Text);
    // Takes over everything Other holds; Other is left empty.
    void Adopt(TTextArena& Other);
    void Clear();

private:
    char* Room(std::size_t Size);

    std::vector<std::shared_ptr<const std::string>> Texts;
    std::vector<std::unique_ptr<char[]>> Blocks;
    char* Next = nullptr;
    std::size_t Left = 0;
};

} // namespace elsetry
