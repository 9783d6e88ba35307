#include "elements/ElementFields.h"

#include "text/Numbers.h"

#include <array>
#include <charconv>


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

int ElementLineChecksum(std::string_view Line)
{
    // What each character counts, looked up rather than tested: every set written or checked
    // adds up two lines.
    static constexpr auto Counts = [] {
        std::array<unsigned char, 256> counts{};
        for (unsigned char digit = 0; digit <= 9; ++digit)
            counts[static_cast<std::size_t>('0' + digit)] = digit;
        counts['-'] = 1;
        return counts;
    }();
    unsigned sum = 0;
    for (const char c : Line.substr(0, MinimumElementLineLength))
        sum += Counts[static_cast<unsigned char>(c)];
    return static_cast<int>(sum % 10);
}

} // namespace elsetry
