#pragma once
// What writing and reading Windows registry export files ("Windows Registry Editor Version 5.00")
// share: the header line, the key names of the current user's tree, the value type numbers, the
// quoting rule, the conversion between text encodings, and the error for a file not understood.

#include <cstddef>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace elsetry {

inline constexpr std::string_view RegistryFileHeader = "Windows Registry Editor Version 5.00";
inline constexpr std::string_view CurrentUserRoot = "HKEY_CURRENT_USER";

// Value types as numbered in "hex(T):" data.
inline constexpr int RegistryStringType = 1;
inline constexpr int RegistryIntegerType = 4;

// A registry file that cannot be read; Line counts from 1 (0: the file as a whole).
class ERegistryFileError : public std::runtime_error {
public:
    ERegistryFileError(int Line, const std::string& Message);
    int Line;
};

// Within a quoted text a backslash escapes these two characters and no others.
constexpr bool EscapedInQuotes(char C)
{
    return C == '\\' || C == '"';
}

// Whether Text begins with Keyword (a root name, "dword:", "hex"), letter case ignored.
bool StartsWithKeyword(std::string_view Text, std::string_view Keyword);

// A key's name in a file: the root's name followed by the key's store path ("\" for the root).
std::string RegistryKeyName(const std::string& StorePath);
// The store path of a key name from a file, without trailing "\" and "\" for the root; none when
// the key is not in the current user's tree.
std::optional<std::string> StorePathOfKeyName(std::string_view KeyName);

// Converts Input from one iconv encoding to another into Output; on an invalid or cut-off
// sequence gives its byte offset in Input. Raises ERegistryFileError when iconv does not convert
// between the two.
std::optional<std::size_t> ConvertText(std::string_view Input, const char* From, const char* To, std::string& Output);

} // namespace elsetry
