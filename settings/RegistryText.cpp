#include "settings/RegistryText.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <iconv.h>

namespace elsetry {

namespace {

// One iconv conversion state, closed when destroyed.
class TConverter {
public:
    TConverter(const char* From, const char* To) : Handle(::iconv_open(To, From))
    {
        if (Handle == reinterpret_cast<iconv_t>(-1))
            throw ERegistryFileError(0, std::string("cannot convert from ") + From + " to " + To);
    }
    ~TConverter() { ::iconv_close(Handle); }
    TConverter(const TConverter&) = delete;
    TConverter& operator=(const TConverter&) = delete;

    iconv_t Get() const { return Handle; }

private:
    iconv_t Handle;
};

} // namespace

ERegistryFileError::ERegistryFileError(int LineNumber, const std::string& Message)
    : std::runtime_error(LineNumber > 0 ? "line " + std::to_string(LineNumber) + ": " + Message : Message),
      Line(LineNumber)
{
}

bool StartsWithKeyword(std::string_view Text, std::string_view Keyword)
{
    return Text.size() >= Keyword.size()
        && std::equal(Keyword.begin(), Keyword.end(), Text.begin(),
                      [](char A, char B) { return std::toupper(static_cast<unsigned char>(A)) == std::toupper(static_cast<unsigned char>(B)); });
}

std::string RegistryKeyName(const std::string& StorePath)
{
    return std::string(CurrentUserRoot) + (StorePath == "\\" ? "" : StorePath);
}

std::optional<std::string> StorePathOfKeyName(std::string_view KeyName)
{
    if (!StartsWithKeyword(KeyName, CurrentUserRoot)
        || (KeyName.size() > CurrentUserRoot.size() && KeyName[CurrentUserRoot.size()] != '\\'))
        return std::nullopt;
    // Repeated separators name the same key, as they do in the store: one path for one key, so
    // that every rule about a key sees it.
    std::string path;
    for (const char c : KeyName.substr(CurrentUserRoot.size()))
        if (c != '\\' || path.empty() || path.back() != '\\')
            path += c;
    while (!path.empty() && path.back() == '\\')
        path.pop_back();
    return path.empty() ? "\\" : path;
}

std::optional<std::size_t> ConvertText(std::string_view Input, const char* From, const char* To, std::string& Output)
{
    const TConverter converter(From, To);
    std::string in(Input);
    char* inPtr = in.data();
    std::size_t inLeft = in.size();
    Output.clear();
    char buffer[4096];
    while (inLeft > 0) {
        char* outPtr = buffer;
        std::size_t outLeft = sizeof buffer;
        const std::size_t rc = ::iconv(converter.Get(), &inPtr, &inLeft, &outPtr, &outLeft);
        Output.append(buffer, sizeof buffer - outLeft);
        if (rc == static_cast<std::size_t>(-1) && errno != E2BIG)
            return in.size() - inLeft;
    }
    return std::nullopt;
}

} // namespace elsetry
