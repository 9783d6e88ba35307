#pragma once
// The deep-space states of a list's satellites, made in blocks: one in eight sets of a catalogue
// is a deep-space set, and each would otherwise be an allocation of its own, freed on its own.

#include "orbit/ModelState.h"

#include <cstddef>
#include <memory>
#include <vector>

namespace elsetry {

class TDeepSpaceStates {
public:
    // A newly made state; it stays in place until the states are cleared or destroyed.
    TDeepSpaceState& Make();
    // Takes over everything Other holds; Other is left empty.
    void Adopt(TDeepSpaceStates& Other);
    void Clear();

private:
    std::vector<std::unique_ptr<TDeepSpaceState[]>> Blocks;
    std::size_t UsedInLast = 0;
};

} // namespace elsetry
