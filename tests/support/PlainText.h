#pragma once
// Letter case done one byte at a time, the plain way the quick versions must agree with.

#include <string>

namespace elsetry::test {

inline std::string PlainUpperCase(std::string Text)
{
    for (char& c : Text)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return Text;
}

inline std::string PlainLowerCase(std::string Text)
{
    for (char& c : Text)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return Text;
}

} // namespace elsetry::test
