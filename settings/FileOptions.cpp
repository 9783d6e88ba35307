#include "settings/FileOptions.h"

#include "settings/FileNameSettings.h"
#include "settings/GroupTable.h"
#include "text/Strings.h"

#include <algorithm>
#include <array>
#include <utility>

namespace elsetry {

namespace {

constexpr std::string_view FileNamePrefix = "Name";
constexpr std::string_view FormPrefix = "Form";
constexpr std::string_view LongNumbersPrefix = "LongNumbers";

constexpr std::array<std::pair<TFileForm, std::string_view>, 4> FormTexts{{
    {TFileForm::ThreeLine, "three-line"},
    {TFileForm::TwoLine, "two-line"},
    {TFileForm::Csv, "csv"},
    {TFileForm::Json, "json"},
}};
constexpr std::array<std::pair<TLongNumbers, std::string_view>, 2> LongNumbersTexts{{
    {TLongNumbers::LetterForm, "letter form"},
    {TLongNumbers::LeaveOut, "leave out"},
}};
constexpr std::array<std::pair<TLineEnds, std::string_view>, 2> LineEndsTexts{{
    {TLineEnds::CrLf, "CR LF"},
    {TLineEnds::Lf, "LF"},
}};

std::string NamedLike(std::string_view FileNameSetting, std::string_view Prefix)
{
    const std::string_view group = StartsWithIgnoringCase(FileNameSetting, FileNamePrefix)
                                       ? FileNameSetting.substr(FileNamePrefix.size())
                                       : FileNameSetting;
    return std::string(Prefix) + std::string(group);
}

template <typename TValue, std::size_t Count>
std::string_view TextOf(const std::array<std::pair<TValue, std::string_view>, Count>& Texts, TValue Value)
{
    for (const auto& [value, text] : Texts)
        if (value == Value)
            return text;
    return Texts.front().second;
}

// Empty text is the first (default) value.
template <typename TValue, std::size_t Count>
std::optional<TValue> ValueOf(const std::array<std::pair<TValue, std::string_view>, Count>& Texts,
                              std::string_view Text)
{
    if (Text.empty())
        return Texts.front().first;
    for (const auto& [value, text] : Texts)
        if (SameText(text, Text))
            return value;
    return std::nullopt;
}

template <typename TValue, std::size_t Count>
std::string Choices(const std::array<std::pair<TValue, std::string_view>, Count>& Texts)
{
    std::string choices;
    for (const auto& [value, text] : Texts)
        choices += (choices.empty() ? "\"" : ", \"") + std::string(text) + "\"";
    return choices;
}

template <typename TFunction>
bool AnyFileNameSetting(TFunction Matches)
{
    return Matches(FavouritesFileNameSetting)
           || std::any_of(SpaceTrackGroups.begin(), SpaceTrackGroups.end(),
                          [&](const TSpaceTrackGroup& Group) { return Matches(Group.FileNameSetting); });
}

bool IsNamedLike(std::string_view ValueName, std::string_view Prefix)
{
    return AnyFileNameSetting(
        [&](std::string_view FileNameSetting) { return SameText(NamedLike(FileNameSetting, Prefix), ValueName); });
}

} // namespace

std::string FormSetting(std::string_view FileNameSetting)
{
    return NamedLike(FileNameSetting, FormPrefix);
}

std::string LongNumbersSetting(std::string_view FileNameSetting)
{
    return NamedLike(FileNameSetting, LongNumbersPrefix);
}

std::string_view FileFormText(TFileForm Form)
{
    return TextOf(FormTexts, Form);
}

std::string_view LongNumbersText(TLongNumbers LongNumbers)
{
    return TextOf(LongNumbersTexts, LongNumbers);
}

std::string_view LineEndsText(TLineEnds LineEnds)
{
    return TextOf(LineEndsTexts, LineEnds);
}

std::optional<TFileForm> FileFormOfText(std::string_view Text)
{
    return ValueOf(FormTexts, Text);
}

std::optional<TLongNumbers> LongNumbersOfText(std::string_view Text)
{
    return ValueOf(LongNumbersTexts, Text);
}

std::optional<TLineEnds> LineEndsOfText(std::string_view Text)
{
    return ValueOf(LineEndsTexts, Text);
}

bool IsFileOptionSetting(std::string_view ValueName)
{
    return SameText(ValueName, LineEndsSetting) || IsNamedLike(ValueName, FormPrefix)
           || IsNamedLike(ValueName, LongNumbersPrefix);
}

std::string FileOptionRule(std::string_view ValueName, std::string_view Text)
{
    const auto rule = [](std::string_view What, const std::string& Choices) {
        return std::string(What) + " is one of " + Choices;
    };
    if (SameText(ValueName, LineEndsSetting))
        return LineEndsOfText(Text) ? std::string() : rule("the line ends", Choices(LineEndsTexts));
    if (IsNamedLike(ValueName, FormPrefix))
        return FileFormOfText(Text) ? std::string() : rule("a file's form", Choices(FormTexts));
    if (IsNamedLike(ValueName, LongNumbersPrefix))
        return LongNumbersOfText(Text) ? std::string()
                                       : rule("what becomes of numbers past 99999", Choices(LongNumbersTexts));
    return {};
}

std::string_view LineEnd(TLineEnds LineEnds)
{
    return LineEnds == TLineEnds::Lf ? "\n" : "\r\n";
}

} // namespace elsetry
