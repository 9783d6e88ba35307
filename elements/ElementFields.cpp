#include "elements/ElementFields.h"

#include "text/Numbers.h"

#include <array>
#include <charconv>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif


namespace elsetry {

namespace {

// Reads the field with blanks as zeros and "0" for an empty field. Element fields are narrow,
// so a stack buffer serves and no string is built for every field of every set.
template <typename TReader>
auto ReadField(std::string_view Line, TColumns Field, TReader Read)
{
    const std::string_view field = FieldText(Line, Field);
    if (field.empty())
        return Read("0");
    char buffer[32];
    if (field.size() > sizeof buffer)
        return Read(BlanksToZeros(field));
    for (std::size_t i = 0; i < field.size(); ++i)
        buffer[i] = field[i] == ' ' ? '0' : field[i];
    return Read(std::string_view(buffer, field.size()));
}

} // namespace

std::string BlanksToZeros(std::string_view Text)
{
    std::string result(Text);
    for (char& c : result)
        if (c == ' ')
            c = '0';
    return result;
}

double RealField(std::string_view Line, TColumns Field)
{
    if (const std::optional<double> plain = ReadPlainDecimal(FieldText(Line, Field), true))
        return *plain;
    return ReadField(Line, Field, ReadDecimal).value_or(0.0);
}

int IntegerField(std::string_view Line, TColumns Field)
{
    return ReadField(Line, Field, ReadInteger).value_or(0);
}

std::array<char, 4> ThreeDigitText(int N)
{
    std::array<char, 4> text{};
    if (N < 0 || N > 999) {
        std::to_chars(text.data(), text.data() + 3, N);
        return text;
    }
    text[0] = static_cast<char>('0' + N / 100);
    text[1] = static_cast<char>('0' + N / 10 % 10);
    text[2] = static_cast<char>('0' + N % 10);
    return text;
}

namespace {

#if defined(__SSE2__)
// What each of sixteen characters counts: a byte that is a digit is its value once '0' is taken
// off, any other byte is then above 9.
__m128i BlockCounts(__m128i Chars)
{
    const __m128i values = _mm_sub_epi8(Chars, _mm_set1_epi8('0'));
    const __m128i digits = _mm_cmpeq_epi8(_mm_min_epu8(values, _mm_set1_epi8(9)), values);
    const __m128i dashes = _mm_and_si128(_mm_cmpeq_epi8(Chars, _mm_set1_epi8('-')), _mm_set1_epi8(1));
    return _mm_add_epi8(_mm_and_si128(values, digits), dashes);
}

// Sixteen characters at a time, every set written or checked adding up two lines; those past the
// last sixteen in the sixteen that end the text, the ones counted already masked off.
unsigned ChecksumOfBlocks(std::string_view Counted, std::size_t& Taken)
{
    static constexpr std::array<unsigned char, 32> LastOnes = {
        0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,
        0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
    const __m128i zero = _mm_setzero_si128();
    __m128i sums = zero;
    std::size_t i = 0;
    for (; i + 16 <= Counted.size(); i += 16) {
        const __m128i chars = _mm_loadu_si128(reinterpret_cast<const __m128i*>(Counted.data() + i));
        sums = _mm_add_epi64(sums, _mm_sad_epu8(BlockCounts(chars), zero));
    }
    if (const std::size_t rest = Counted.size() - i; rest > 0 && i > 0) {
        const __m128i chars = _mm_loadu_si128(reinterpret_cast<const __m128i*>(Counted.data() + Counted.size() - 16));
        const __m128i unseen = _mm_loadu_si128(reinterpret_cast<const __m128i*>(LastOnes.data() + rest));
        sums = _mm_add_epi64(sums, _mm_sad_epu8(_mm_and_si128(BlockCounts(chars), unseen), zero));
        i = Counted.size();
    }
    Taken = i;
    return static_cast<unsigned>(_mm_cvtsi128_si32(sums) + _mm_cvtsi128_si32(_mm_unpackhi_epi64(sums, sums)));
}
#else
// Eight characters at a time, every set written or checked adding up two lines: a byte that
// is a digit is its value once '0' is taken off, any other byte is then 10 or more.
unsigned ChecksumOfBlocks(std::string_view Counted, std::size_t& Taken)
{
    constexpr std::uint64_t Ones = 0x0101010101010101;
    constexpr std::uint64_t High = 0x8080808080808080;
    unsigned sum = 0;
    std::size_t i = 0;
    for (; i + 8 <= Counted.size(); i += 8) {
        std::uint64_t word = 0;
        std::memcpy(&word, Counted.data() + i, 8);
        const std::uint64_t values = word ^ (Ones * '0');
        const std::uint64_t digits = ~(((values & ~High) + Ones * (0x80 - 10)) | values) & High;
        const std::uint64_t dashes = word ^ (Ones * '-');
        const std::uint64_t isDash = ~(((dashes & ~High) + ~High) | dashes) & High;
        // Byte sums by one multiplication: no byte of it reaches 256.
        sum += static_cast<unsigned>((((values & ((digits >> 7) * 0xFF)) + (isDash >> 7)) * Ones) >> 56);
    }
    Taken = i;
    return sum;
}
#endif

} // namespace

int ElementLineChecksum(std::string_view Line)
{
    const std::string_view counted = Line.substr(0, MinimumElementLineLength);
    std::size_t i = 0;
    unsigned sum = ChecksumOfBlocks(counted, i);
    for (; i < counted.size(); ++i) {
        const char c = counted[i];
        sum += c >= '0' && c <= '9' ? static_cast<unsigned>(c - '0') : c == '-' ? 1U : 0U;
    }
    return static_cast<int>(sum % 10);
}

} // namespace elsetry
