#include "text/FileNames.h"

namespace elsetry {

bool IsPlainFileName(std::string_view Name)
{
    return !Name.empty() && Name.front() != '.' && Name.find('/') == std::string_view::npos &&
           Name.find('\0') == std::string_view::npos;
}

} // namespace elsetry
