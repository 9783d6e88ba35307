#pragma once
// The bound on one downloaded answer, as it arrives and once decompressed.

#include <cstddef>

namespace elsetry {

// No answer is taken into memory or onto disk past this size, so that a broken or hostile service
// cannot fill either; the largest real answer, the full catalogue, is some tens of MB of text.
constexpr std::size_t AnswerLimitBytes = std::size_t{512} << 20;

} // namespace elsetry
