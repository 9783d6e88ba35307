#include "settings/RegistryExport.h"

#include <cstdio>

namespace elsetry {

namespace {

constexpr std::size_t HexLineWidth = 76; // as the registry editor wraps hex data

std::string EscapedString(std::string_view Text)
{
    std::string quoted = "\"";
    for (const char c : Text) {
        if (EscapedInQuotes(c))
            quoted += '\\';
        quoted += c;
    }
    return quoted + '"';
}

std::string HexData(int Type, std::string_view Bytes, std::size_t PrefixLength)
{
    std::string text = "hex(" + std::to_string(Type) + "):";
    std::size_t column = PrefixLength + text.size();
    char pair[3];
    for (std::size_t i = 0; i < Bytes.size(); ++i) {
        std::snprintf(pair, sizeof pair, "%02x", static_cast<unsigned char>(Bytes[i]));
        text += pair;
        column += 2;
        if (i + 1 == Bytes.size())
            break;
        text += ',';
        if (++column >= HexLineWidth) {
            text += "\\\n  ";
            column = 2;
        }
    }
    return text;
}

std::string ValueLine(const TStoredValue& Value)
{
    const std::string name = Value.Name.empty() ? "@" : EscapedString(Value.Name);
    if (Value.Kind == TValueKind::Integer) {
        char data[16];
        std::snprintf(data, sizeof data, "dword:%08x", static_cast<unsigned>(Value.Integer));
        return name + "=" + data;
    }
    if (Value.Text.find_first_of(std::string_view("\r\n\0", 3)) == std::string::npos)
        return name + "=" + EscapedString(Value.Text);
    std::string utf16;
    if (ConvertText(Value.Text, "UTF-8", "UTF-16LE", utf16))
        throw ERegistryFileError(0, "value \"" + Value.Name + "\" is not valid UTF-8 text");
    return name + "=" + HexData(RegistryStringType, utf16 + std::string(2, '\0'), name.size() + 1);
}

} // namespace

std::string ExportRegistryText(TSqliteSettingsStore& Store, const std::string& Path)
{
    Store.SetRootKey(HKEY_CURRENT_USER);
    std::string text = std::string(RegistryFileHeader) + "\n\n";
    for (const TStoredKey& key : Store.ReadTree(Path)) {
        text += "[" + RegistryKeyName(key.Path) + "]\n";
        for (const TStoredValue& value : key.Values)
            text += ValueLine(value) + "\n";
        text += "\n";
    }
    return text;
}

} // namespace elsetry
