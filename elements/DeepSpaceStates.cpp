#include "elements/DeepSpaceStates.h"

#include <algorithm>
#include <iterator>

namespace elsetry {

namespace {
constexpr std::size_t BlockSize = 128;
} // namespace

TDeepSpaceState& TDeepSpaceStates::Make()
{
    if (Blocks.empty() || UsedInLast == BlockSize) {
        Blocks.push_back(std::make_unique<TDeepSpaceState[]>(BlockSize));
        UsedInLast = 0;
    }
    return Blocks.back()[UsedInLast++];
}

void TDeepSpaceStates::Adopt(TDeepSpaceStates& Other)
{
    // Other's partly used block goes first, so that this one's last block stays the one in use.
    std::move(Other.Blocks.begin(), Other.Blocks.end(), std::inserter(Blocks, Blocks.begin()));
    Other.Clear();
}

void TDeepSpaceStates::Clear()
{
    Blocks.clear();
    UsedInLast = 0;
}

} // namespace elsetry
