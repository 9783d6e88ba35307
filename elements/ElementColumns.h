#pragma once
// Where the fields of an element set stand. Columns count from 1, as element-set documentation
// counts them, so that the table reads against it line by line.

#include <cstddef>
#include <string_view>

namespace elsetry {

// A fixed-width field: its first column and its width.
struct TColumns {
    std::size_t Start;
    std::size_t Width;
};

namespace Line1 {
constexpr TColumns CatalogueNumber{3, 5};
constexpr TColumns Classification{8, 1};
constexpr TColumns Designator{10, 8};
constexpr TColumns Epoch{19, 14};
constexpr TColumns MeanMotionDot{34, 10};
constexpr TColumns MeanMotionDDotMantissa{45, 6};
constexpr TColumns MeanMotionDDotExponent{51, 2};
constexpr TColumns DragMantissa{54, 6};
constexpr TColumns DragExponent{60, 2};
// The two exponent fields whole, sign, mantissa and exponent: " 10270-3".
constexpr TColumns MeanMotionDDot{45, 8};
constexpr TColumns Drag{54, 8};
constexpr TColumns EphemerisType{63, 1};
constexpr TColumns ElementSetNumber{66, 3};
} // namespace Line1

namespace Line2 {
constexpr TColumns CatalogueNumber{3, 5};
constexpr TColumns Inclination{9, 8};
constexpr TColumns AscendingNode{18, 8};
constexpr TColumns Eccentricity{27, 7};
constexpr TColumns ArgumentOfPerigee{35, 8};
constexpr TColumns MeanAnomaly{44, 8};
constexpr TColumns MeanMotion{53, 11};
constexpr TColumns RevolutionNumber{64, 5};
} // namespace Line2

// The last fields end in this column, so a line this long holds them all; the list passes over
// shorter lines while it looks for an element line, and needs no checksum column.
constexpr std::size_t MinimumElementLineLength = 68;
// Only this much of a name line names the satellite; the rest is ignored.
constexpr std::size_t NameLineLength = 24;

// The field's text, shorter when the line ends inside it and empty when the line ends before it.
constexpr std::string_view FieldText(std::string_view Line, TColumns Field)
{
    if (Field.Start < 1 || Field.Width == 0 || Field.Start > Line.size())
        return {};
    return Line.substr(Field.Start - 1, Field.Width);
}

} // namespace elsetry
