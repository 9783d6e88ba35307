#pragma once
// Element sets shared by the element tests.

#include <string>

namespace elsetry::test {

inline const std::string IssLine1 = "1 25544U 98067A   08264.51782528 -.00002182  00000-0 -11606-4 0  2927";
inline const std::string IssLine2 = "2 25544  51.6416 247.4627 0006703 130.5360 325.0288 15.72125391563537";

// Replaces the columns from Start (counted from 1) with Text.
inline std::string WithColumns(std::string Line, int Start, const std::string& Text)
{
    Line.replace(static_cast<std::size_t>(Start - 1), Text.size(), Text);
    return Line;
}

// The line with its checksum in column 69 made right again: digits count their value, "-" 1.
inline std::string WithChecksum(std::string Line)
{
    int sum = 0;
    for (std::size_t i = 0; i < 68 && i < Line.size(); ++i)
        sum += Line[i] >= '0' && Line[i] <= '9' ? Line[i] - '0' : Line[i] == '-' ? 1 : 0;
    if (Line.size() >= 69)
        Line[68] = static_cast<char>('0' + sum % 10);
    return Line;
}

// A valid set for catalogue number Number (five characters) at the given epoch and mean motion.
inline std::string LineOne(const std::string& Number, const std::string& Epoch = "08264.51782528")
{
    return WithChecksum(WithColumns(WithColumns(IssLine1, 3, Number), 19, Epoch));
}

inline std::string LineTwo(const std::string& Number, const std::string& MeanMotion = "15.72125391")
{
    return WithChecksum(WithColumns(WithColumns(IssLine2, 3, Number), 53, MeanMotion));
}

inline std::string ThreeLines(const std::string& Name, const std::string& Number,
                              const std::string& Epoch = "08264.51782528")
{
    return Name + "\n" + LineOne(Number, Epoch) + "\n" + LineTwo(Number) + "\n";
}

} // namespace elsetry::test
