#include "settings/RegistryImport.h"

#include "settings/FileNameSettings.h"
#include "settings/FileOptions.h"
#include "settings/RegistryVariables.h"
#include "text/FileNames.h"
#include "text/Lines.h"
#include "text/Strings.h"

#include <algorithm>
#include <optional>

namespace elsetry {

namespace {

constexpr std::string_view Utf8Mark = "\xEF\xBB\xBF";
constexpr std::string_view Utf16LeMark = "\xFF\xFE";
constexpr std::string_view Utf16BeMark = "\xFE\xFF";
// Longer than any setting the program writes; a longer one is not a setting.
constexpr std::size_t MostValueBytes = 64 << 10;

// The file as UTF-8 text; raises naming the line of the first sequence that is not text.
std::string DecodeFile(std::string_view Bytes)
{
    if (Bytes.starts_with(Utf16BeMark))
        throw ERegistryFileError(1, "UTF-16 big-endian files are not supported");
    std::string text;
    if (Bytes.starts_with(Utf16LeMark)) {
        const std::string_view body = Bytes.substr(Utf16LeMark.size());
        if (const auto bad = ConvertText(body, "UTF-16LE", "UTF-8", text)) {
            int line = 1;
            for (std::size_t i = 0; i + 1 < *bad; i += 2)
                line += body[i] == '\n' && body[i + 1] == '\0';
            throw ERegistryFileError(line, "not valid UTF-16 text");
        }
        return text;
    }
    const std::string_view body = Bytes.starts_with(Utf8Mark) ? Bytes.substr(Utf8Mark.size()) : Bytes;
    if (const auto bad = ConvertText(body, "UTF-8", "UTF-8", text))
        throw ERegistryFileError(1 + static_cast<int>(std::count(body.begin(), body.begin() + static_cast<std::ptrdiff_t>(*bad), '\n')),
                                 "not valid UTF-8 text");
    return text;
}

// Lines at LFs, as the error messages count them, without the blanks and CRs at their ends.
std::vector<std::string> RegistryLines(const std::string& Text)
{
    std::vector<std::string> lines;
    for (std::string_view line : SplitAtLineFeeds(Text)) {
        while (!line.empty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '\t'))
            line.remove_suffix(1);
        lines.emplace_back(line);
    }
    return lines;
}

int HexDigit(char C)
{
    if (C >= '0' && C <= '9')
        return C - '0';
    if (C >= 'a' && C <= 'f')
        return C - 'a' + 10;
    if (C >= 'A' && C <= 'F')
        return C - 'A' + 10;
    return -1;
}

// 1 to Max hex digits, all of Text.
std::optional<std::uint32_t> ParseHex(std::string_view Text, std::size_t Max)
{
    if (Text.empty() || Text.size() > Max)
        return std::nullopt;
    std::uint32_t value = 0;
    for (const char c : Text) {
        const int digit = HexDigit(c);
        if (digit < 0)
            return std::nullopt;
        value = value * 16 + static_cast<std::uint32_t>(digit);
    }
    return value;
}

// Reads the lines of a registry file into changes, one line (or continued line) at a time.
class TRegistryFileReader {
public:
    explicit TRegistryFileReader(std::vector<std::string> FileLines) : Lines(std::move(FileLines)) {}

    TRegistryImport Read()
    {
        CheckHeader();
        for (Index = 1; Index < Lines.size(); ++Index) {
            const std::string& line = Lines[Index];
            // The store's texts end at a NUL; a value holding one would be cut short silently.
            if (line.find('\0') != std::string::npos)
                Fail("a NUL character");
            if (line.empty() || line.front() == ';')
                continue;
            if (line.front() == '[')
                ReadKeyLine(line);
            else
                ReadValueLine(line);
        }
        return std::move(Result);
    }

private:
    int LineNumber() const { return static_cast<int>(Index) + 1; }
    [[noreturn]] void Fail(const std::string& Message) const { throw ERegistryFileError(LineNumber(), Message); }

    void CheckHeader()
    {
        if (Lines.empty() || Lines.front() != RegistryFileHeader) {
            Index = 0;
            Fail(Lines.empty() || Lines.front() != "REGEDIT4"
                     ? "not a registry file: the first line must be \"" + std::string(RegistryFileHeader) + "\""
                     : "REGEDIT4 files are not supported; export again as version 5.00");
        }
    }

    void ReadKeyLine(const std::string& Line)
    {
        if (Line.size() < 2 || Line.back() != ']')
            Fail("a key line must end with \"]\"");
        std::string_view inner = std::string_view(Line).substr(1, Line.size() - 2);
        const bool deletion = inner.starts_with('-');
        if (deletion)
            inner.remove_prefix(1);
        const std::optional<std::string> path = StorePathOfKeyName(inner);
        if (!path)
            Fail("only keys of " + std::string(CurrentUserRoot) + " can be imported");
        if (deletion && *path == "\\")
            Fail("the root key cannot be deleted");
        Add({deletion ? TRegistryChange::DeleteKey : TRegistryChange::CreateKey, LineNumber(), *path, {}, {}, 0});
        CurrentKey = deletion ? std::nullopt : std::optional<std::string>(Result.Changes.back().KeyPath);
    }

    // A quoted text from the opening quote at Pos; \\ and \" are its only escapes.
    std::string ReadQuoted(const std::string& Line, std::size_t& Pos) const
    {
        std::string text;
        for (++Pos; Pos < Line.size(); ++Pos) {
            char c = Line[Pos];
            if (c == '"') {
                ++Pos;
                return text;
            }
            if (c == '\\') {
                if (++Pos == Line.size() || !EscapedInQuotes(Line[Pos]))
                    Fail("unknown escape in a quoted text: only \\\\ and \\\" are allowed");
                c = Line[Pos];
            }
            text += c;
        }
        Fail("a quoted text is not closed");
    }

    void ReadValueLine(const std::string& Line)
    {
        if (!CurrentKey)
            Fail(Line.front() == '"' || Line.front() == '@' ? "a value outside a key" : "not a key or value line");
        std::size_t pos = 0;
        std::string name;
        if (Line.front() == '@')
            pos = 1;
        else if (Line.front() == '"')
            name = ReadQuoted(Line, pos);
        else
            Fail("a value name must be \"quoted\" or @");
        if (pos >= Line.size() || Line[pos] != '=')
            Fail("\"=\" expected after the value name");
        ReadData(name, Line.substr(pos + 1));
    }

    void ReadData(const std::string& Name, const std::string& Data)
    {
        TRegistryChange change{TRegistryChange::SetString, LineNumber(), *CurrentKey, Name, {}, 0};
        if (Data.starts_with('"')) {
            std::size_t pos = 0;
            change.Text = ReadQuoted(Data, pos);
            if (pos != Data.size())
                Fail("text after the closing quote");
        } else if (Data == "-") {
            change.Kind = TRegistryChange::DeleteValue;
        } else if (StartsWithKeyword(Data, "dword:")) {
            const auto value = ParseHex(std::string_view(Data).substr(6), 8);
            if (!value)
                Fail("dword: needs 1 to 8 hex digits");
            change.Kind = TRegistryChange::SetInteger;
            change.Integer = *value;
        } else if (StartsWithKeyword(Data, "hex")) {
            if (!ReadHexValue(Data, change))
                return;
        } else {
            Fail("unknown value data");
        }
        Add(std::move(change));
    }

    // "hex:" or "hex(T):" and comma-separated bytes, continued on the next line after a "\".
    // False for kinds the store does not keep, after a warning.
    bool ReadHexValue(const std::string& Data, TRegistryChange& Change)
    {
        const int startLine = LineNumber();
        std::size_t colon = Data.find(':');
        if (colon == std::string::npos)
            Fail("\":\" expected after hex");
        const std::string_view kind = std::string_view(Data).substr(3, colon - 3);
        std::optional<std::uint32_t> type = 3; // plain "hex:" is binary data
        if (!kind.empty())
            type = kind.size() > 2 && kind.front() == '(' && kind.back() == ')' ? ParseHex(kind.substr(1, kind.size() - 2), 8)
                                                                              : std::nullopt;
        if (!type)
            Fail("hex(T): needs a hex type number");
        const std::string bytes = ReadHexBytes(Data.substr(colon + 1));
        if (*type == RegistryStringType)
            return StringFromUtf16(bytes, Change);
        if (*type == RegistryIntegerType && bytes.size() == 4) {
            Change.Kind = TRegistryChange::SetInteger;
            for (int i = 3; i >= 0; --i)
                Change.Integer = Change.Integer << 8 | static_cast<unsigned char>(bytes[static_cast<std::size_t>(i)]);
            return true;
        }
        Result.Warnings.push_back("line " + std::to_string(startLine) + ": value \"" + Change.Name + "\" of type hex"
                                  + std::string(kind) + " skipped: the settings store keeps only strings and"
                                    " 32-bit integers");
        return false;
    }

    // Errors name the value's first line.
    std::string ReadHexBytes(std::string Text)
    {
        const std::size_t first = Index;
        while (Text.ends_with('\\')) {
            Text.pop_back();
            if (Index + 1 == Lines.size()) {
                Index = first;
                Fail("hex data continues past the end of the file");
            }
            ++Index;
            const std::string& next = Lines[Index];
            Text += next.substr(std::min(next.find_first_not_of(" \t"), next.size()));
        }
        std::string bytes;
        for (std::size_t pos = 0; pos < Text.size();) {
            const std::size_t comma = std::min(Text.find(',', pos), Text.size());
            const auto value = ParseHex(std::string_view(Text).substr(pos, comma - pos), 2);
            if (!value || (comma == Text.size() - 1)) {
                Index = first;
                Fail("hex data must be two-digit hex bytes separated by commas");
            }
            bytes += static_cast<char>(*value);
            pos = comma + 1;
        }
        return bytes;
    }

    bool StringFromUtf16(const std::string& Bytes, TRegistryChange& Change) const
    {
        std::string text;
        if (Bytes.size() % 2 != 0 || ConvertText(Bytes, "UTF-16LE", "UTF-8", text))
            Fail("hex(1) data is not UTF-16 text");
        while (!text.empty() && text.back() == '\0')
            text.pop_back();
        Change.Text = std::move(text);
        return true;
    }

    void Add(TRegistryChange Change)
    {
        if (Change.Text.size() > MostValueBytes)
            throw ERegistryFileError(Change.Line, "a value longer than 64 KiB");
        if (Change.Text.find('\0') != std::string::npos)
            throw ERegistryFileError(Change.Line, "a NUL character in a value");
        Result.Changes.push_back(std::move(Change));
    }

    std::vector<std::string> Lines;
    std::size_t Index = 0;
    std::optional<std::string> CurrentKey; // none before the first key and after a deleted one
    TRegistryImport Result;
};

bool BelowCompanyKey(const std::string& KeyPath)
{
    const std::string company = LowerCase("\\Software\\" + CompanyKey + "\\");
    return LowerCase(KeyPath + "\\").starts_with(company);
}

// Why the program cannot take Change's value (empty when it can). A shared file must not make the
// program write outside the folders the user chose, and a form, long-number choice or line end the
// program does not know would otherwise be written as the default without a word.
std::string SettingRefusal(const TRegistryChange& Change)
{
    if (Change.Kind != TRegistryChange::SetString || !BelowCompanyKey(Change.KeyPath))
        return {};
    if (IsFileNameSetting(Change.Name) && !IsPlainFileName(Change.Text))
        return "\"" + Change.Name + "\" is not a plain file name: " + std::string(PlainFileNameRule());
    if (const std::string rule = FileOptionRule(Change.Name, Change.Text); !rule.empty())
        return "\"" + Change.Name + "\" cannot be \"" + EscapeControls(Change.Text) + "\": " + rule;
    return {};
}

void CheckSettings(const TRegistryImport& Import)
{
    for (const TRegistryChange& change : Import.Changes)
        if (const std::string refusal = SettingRefusal(change); !refusal.empty())
            throw ERegistryFileError(change.Line, refusal);
}

} // namespace

TRegistryImport ReadRegistryFile(std::string_view Bytes)
{
    TRegistryImport import = TRegistryFileReader(RegistryLines(DecodeFile(Bytes))).Read();
    CheckSettings(import);
    return import;
}

void ApplyRegistryImport(TSqliteSettingsStore& Store, const TRegistryImport& Import)
{
    Store.SetRootKey(HKEY_CURRENT_USER);
    Store.InTransaction([&] {
        for (const TRegistryChange& change : Import.Changes) {
            switch (change.Kind) {
            case TRegistryChange::CreateKey:
                Store.OpenKey(change.KeyPath, true);
                break;
            case TRegistryChange::DeleteKey:
                Store.DeleteKey(change.KeyPath);
                break;
            case TRegistryChange::SetString:
                Store.OpenKey(change.KeyPath, true);
                Store.WriteString(change.Name, change.Text);
                break;
            case TRegistryChange::SetInteger:
                Store.OpenKey(change.KeyPath, true);
                Store.WriteInteger(change.Name, change.Integer);
                break;
            case TRegistryChange::DeleteValue:
                if (Store.OpenKey(change.KeyPath, false))
                    Store.DeleteValue(change.Name);
                break;
            }
        }
    });
}

} // namespace elsetry
