#pragma once
// How each element file is written: its form, what becomes of sets numbered past 99999, and the
// line ends of every file. Each group row and the individual list keep a form and a choice for
// long numbers under names made from their file name setting ("NameWeather" -> "FormWeather",
// "LongNumbersWeather"); the line ends are one setting for all files. An absent or empty value
// means the default, which writes the files as they have always been written.

#include <optional>
#include <string>
#include <string_view>

namespace elsetry {

enum class TFileForm {
    ThreeLine, // a name line and two element lines per set
    TwoLine,   // element lines only
    Csv,       // OMM fields, as the services' CSV answers hold them
    Json,      // the same fields as a JSON array of objects
};

enum class TLongNumbers {
    LetterForm, // numbers 100000 to 339999 as a letter and four digits ("E8493")
    LeaveOut,   // sets numbered past 99999 are not written
};

enum class TLineEnds { CrLf, Lf };

struct TFileOptions {
    TFileForm Form = TFileForm::ThreeLine;
    TLongNumbers LongNumbers = TLongNumbers::LetterForm;

    bool operator==(const TFileOptions&) const = default;
};

inline constexpr std::string_view LineEndsSetting = "LineEnds";

// "FormWeather" and "LongNumbersWeather" for "NameWeather"; FileNameSetting is a group's or the
// individual list's file name setting.
std::string FormSetting(std::string_view FileNameSetting);
std::string LongNumbersSetting(std::string_view FileNameSetting);

// The stored texts: "three-line", "two-line", "csv", "json"; "letter form", "leave out";
// "CR LF", "LF". Reading compares without regard to letter case; empty text is the default;
// any other text is none of them.
std::string_view FileFormText(TFileForm Form);
std::string_view LongNumbersText(TLongNumbers LongNumbers);
std::string_view LineEndsText(TLineEnds LineEnds);
std::optional<TFileForm> FileFormOfText(std::string_view Text);
std::optional<TLongNumbers> LongNumbersOfText(std::string_view Text);
std::optional<TLineEnds> LineEndsOfText(std::string_view Text);

// Whether ValueName (letter case ignored) is one of these settings; and, when it is, why Text is
// not a value it may hold (empty when it may), for the window and the settings import.
bool IsFileOptionSetting(std::string_view ValueName);
std::string FileOptionRule(std::string_view ValueName, std::string_view Text);

// The line end the files are written with: "\r\n" or "\n".
std::string_view LineEnd(TLineEnds LineEnds);

} // namespace elsetry
