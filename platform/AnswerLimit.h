#pragma once
// The bound on one downloaded answer, as it arrives and once decompressed.

#include <cstddef>
#include <stdexcept>

namespace elsetry {

// No answer is taken into memory or onto disk past this size, so that a broken or hostile service
// cannot fill either; the largest real answer, the full catalogue, is some tens of MB of text.
constexpr std::size_t AnswerLimitBytes = std::size_t{512} << 20;

// The most text one group or list answer may bring once decompressed, and the most lines: a
// whole catalogue is about 11 MB in some 200,000 lines, while a few kB of gzip can inflate to
// millions of blank lines that would cost memory, time and a log line each.
constexpr std::size_t GroupTextLimitBytes = std::size_t{64} << 20;
constexpr std::size_t GroupLineLimit = 2000000;

// An answer past the bounds above; the text is the short reason a log line shows.
class EAnswerTooLarge : public std::runtime_error {
public:
    EAnswerTooLarge() : std::runtime_error("too large") {}
};

} // namespace elsetry
