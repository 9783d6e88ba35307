#include "download/sources/KeptValues.h"

#include "text/Strings.h"

#include <charconv>

namespace elsetry {

std::string KeptText(TSqliteSettingsStore& Store, const std::string& Key, const std::string& Name)
{
    const std::vector<TStoredKey> tree = Store.ReadTree(Key);
    if (tree.empty())
        return {};
    for (const TStoredValue& value : tree.front().Values)
        if (SameText(value.Name, Name))
            return value.Kind == TValueKind::String ? value.Text : std::string();
    return {};
}

std::optional<std::int64_t> KeptNumber(std::string_view Text)
{
    Text = Trim(Text);
    std::int64_t value = 0;
    const auto [end, error] = std::from_chars(Text.data(), Text.data() + Text.size(), value);
    if (Text.empty() || error != std::errc() || end != Text.data() + Text.size())
        return std::nullopt;
    return value;
}

std::vector<std::int64_t> KeptNumbers(std::string_view Text)
{
    std::vector<std::int64_t> numbers;
    while (!Text.empty()) {
        const std::size_t comma = std::min(Text.find(','), Text.size());
        if (const std::optional<std::int64_t> number = KeptNumber(Text.substr(0, comma)))
            numbers.push_back(*number);
        Text.remove_prefix(std::min(comma + 1, Text.size()));
    }
    return numbers;
}

std::string NumberListText(const std::vector<std::int64_t>& Numbers)
{
    std::string text;
    for (const std::int64_t number : Numbers)
        text += (text.empty() ? "" : ",") + std::to_string(number);
    return text;
}

std::int64_t MillisOf(TRunClock::TTime Time)
{
    return std::chrono::floor<std::chrono::milliseconds>(Time).time_since_epoch().count();
}

std::string TimeText(TRunClock::TTime Time)
{
    return std::to_string(MillisOf(Time));
}

std::optional<TRunClock::TTime> KeptTime(std::string_view Text)
{
    constexpr std::int64_t Largest =
        std::chrono::duration_cast<std::chrono::milliseconds>(TRunClock::TTime::max().time_since_epoch()).count();
    const std::optional<std::int64_t> millis = KeptNumber(Text);
    if (!millis || *millis > Largest || *millis < -Largest)
        return std::nullopt;
    return TRunClock::TTime(std::chrono::milliseconds(*millis));
}

} // namespace elsetry
