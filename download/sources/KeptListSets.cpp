#include "download/sources/KeptListSets.h"

#include "download/sources/KeptValues.h"
#include "settings/RegistryVariables.h"

#include <optional>
#include <string_view>
#include <utility>
#include <vector>

namespace elsetry {

namespace {

constexpr char Separator = '\t';

std::string SetsKey()
{
    return ProgramKeyPath() + "\\CelesTrak\\ListSets";
}

// "<fetched>\t<name line>\t<line 1>\t<line 2>", or "<fetched>\t<CSV row>".
std::string SetText(const TKeptSet& Set)
{
    std::string text = TimeText(Set.Fetched);
    if (!Set.CsvRow.empty())
        return text + Separator + Set.CsvRow;
    for (const std::string& line : Set.Lines)
        text += Separator + line;
    return text;
}

bool Keepable(const TKeptSet& Set)
{
    for (const std::string& line : Set.Lines)
        if (line.find_first_of("\t\r\n") != std::string::npos)
            return false;
    return Set.CsvRow.find_first_of("\t\r\n") == std::string::npos;
}

std::optional<TKeptSet> SetOf(std::string_view Text)
{
    std::vector<std::string_view> fields;
    for (std::size_t at = 0;;) {
        const std::size_t end = Text.find(Separator, at);
        fields.push_back(Text.substr(at, end == std::string_view::npos ? std::string_view::npos : end - at));
        if (end == std::string_view::npos)
            break;
        at = end + 1;
    }
    const bool row = fields.size() == 2 && !fields[1].empty();
    const std::optional<TRunClock::TTime> fetched = fields.size() == 4 || row ? KeptTime(fields[0]) : std::nullopt;
    if (!fetched)
        return std::nullopt;
    if (row)
        return TKeptSet{{}, *fetched, std::string(fields[1])};
    return TKeptSet{{std::string(fields[1]), std::string(fields[2]), std::string(fields[3])}, *fetched};
}

} // namespace

TKeptListSets::TKeptListSets(std::string StorePath, std::chrono::minutes Life)
    : StoreFile(std::move(StorePath)), Lifetime(Life)
{
}

std::map<long, TKeptSet> TKeptListSets::Fresh(TRunClock::TTime Now)
{
    std::map<long, TKeptSet> sets;
    TSqliteSettingsStore store(StoreFile);
    const std::vector<TStoredKey> tree = store.ReadTree(SetsKey());
    if (tree.empty())
        return sets;
    for (const TStoredValue& value : tree.front().Values) {
        const std::optional<std::int64_t> number = KeptNumber(value.Name);
        const std::optional<TKeptSet> set = value.Kind == TValueKind::String ? SetOf(value.Text) : std::nullopt;
        if (number && set && set->Fetched <= Now && Now - set->Fetched < Lifetime)
            sets.emplace(static_cast<long>(*number), *set);
    }
    return sets;
}

void TKeptListSets::Keep(const std::map<long, TKeptSet>& Sets, TRunClock::TTime Now)
{
    TSqliteSettingsStore store(StoreFile);
    store.InTransaction([&] {
        store.OpenKey(SetsKey(), true);
        const std::vector<TStoredKey> tree = store.ReadTree(SetsKey());
        for (const TStoredValue& value : tree.empty() ? std::vector<TStoredValue>() : tree.front().Values) {
            const std::optional<TKeptSet> set = value.Kind == TValueKind::String ? SetOf(value.Text) : std::nullopt;
            if (!set || Now - set->Fetched >= Lifetime || set->Fetched > Now)
                store.DeleteValue(value.Name);
        }
        for (const auto& [number, set] : Sets)
            if (Keepable(set))
                store.WriteString(std::to_string(number), SetText(set));
    });
}

} // namespace elsetry
