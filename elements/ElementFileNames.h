#pragma once
// Which files of a folder are element files: those whose names end in one of these, letter case
// ignored.

#include "text/Strings.h"

#include <array>
#include <string_view>

namespace elsetry {

inline constexpr std::array<std::string_view, 3> ElementFileExtensions{".2li", ".tle", ".txt"};

// Whether FileName (no folder) ends in an element file's extension and has a name before it.
inline bool IsElementFileName(std::string_view FileName)
{
    for (const std::string_view extension : ElementFileExtensions)
        if (FileName.size() > extension.size() && EndsWithIgnoringCase(FileName, extension))
            return true;
    return false;
}

} // namespace elsetry
