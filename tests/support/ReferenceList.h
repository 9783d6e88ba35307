#pragma once
// The list's load rules kept the plain way, for tests to hold the list against: the latest epoch
// wins per name and per number, ties keep the set listed first.

#include "elements/Satellite.h"
#include "elements/SatelliteAttributes.h"
#include "elements/SatelliteList.h"
#include "tests/support/PlainText.h"

#include <algorithm>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace elsetry::test {

// The rules of the list over the sets of its texts, kept the plain way: the sets one after the
// other, every decoded set measured against the entry of its number, else of its name.
class TReferenceList {
public:
    struct TEntry {
        std::string Name;
        std::string Number;
        std::string Line1;
        std::string Line2;
        std::string FileName;
        double Epoch;
    };

    // The decoded sets of the text.
    int Load(const std::string& Text, const std::string& FileName)
    {
        int decoded = 0;
        for (const TSetLines& set : FindSets(Text)) {
            std::optional<TEntry> entry = Decode(set, FileName);
            if (!entry)
                continue;
            ++decoded;
            Admit(std::move(*entry));
        }
        return decoded;
    }

    // How often each rule met a set.
    struct TRulesMet {
        int New = 0;
        int Newer = 0;           // same name and number
        int NewerRenamed = 0;    // its number's entry, under another name
        int NewerRenumbered = 0; // its name's entry, under another number
        int NameEntryGone = 0;   // a newer set took the name of another number's entry
        int Tie = 0;
        int Older = 0;
    } Met;

    // The entries in name order (bytes compared unsigned).
    std::vector<const TEntry*> Entries() const
    {
        std::vector<const TEntry*> entries;
        for (const auto& [name, index] : ByName)
            entries.push_back(&Sets[index]);
        return entries;
    }

private:
    // The grouping rule of the list, without the list's line reader.
    static std::vector<TSetLines> FindSets(std::string_view Text)
    {
        std::vector<std::string_view> lines;
        std::size_t start = 0;
        for (std::size_t i = 0; i < Text.size(); ++i) {
            if (Text[i] != '\r' && Text[i] != '\n')
                continue;
            lines.push_back(Text.substr(start, i - start));
            if (Text[i] == '\r' && i + 1 < Text.size() && Text[i + 1] == '\n')
                ++i;
            start = i + 1;
        }
        if (start < Text.size())
            lines.push_back(Text.substr(start));
        const auto trimmed = [](std::string_view line) {
            while (!line.empty() && static_cast<unsigned char>(line.front()) <= ' ')
                line.remove_prefix(1);
            while (!line.empty() && static_cast<unsigned char>(line.back()) <= ' ')
                line.remove_suffix(1);
            return line;
        };
        std::vector<TSetLines> sets;
        std::size_t i = 0;
        const std::size_t n = lines.size();
        while (i < n) {
            TSetLines set;
            while (i < n && (set.NameLine.empty() || set.NameLine == "--"))
                set.NameLine = trimmed(lines[i++]);
            if (i == n)
                break;
            while (i < n && set.Line1.size() < 68)
                set.Line1 = lines[i++];
            if (i == n)
                break;
            while (i < n && set.Line2.size() < 68)
                set.Line2 = lines[i++];
            sets.push_back(set);
        }
        return sets;
    }

    static std::optional<TEntry> Decode(const TSetLines& Set, const std::string& FileName)
    {
        const std::string_view l1 = Set.Line1;
        const std::string_view l2 = Set.Line2;
        if (l1.empty() || l1[0] != '1' || l2.empty() || l2[0] != '2' || l1.size() < 7 || l2.size() < 7
            || l1.substr(2, 5) != l2.substr(2, 5) || l1.substr(2, 5) == "     ")
            return std::nullopt;
        TEntry entry;
        entry.Line1 = PlainUpperCase(std::string(l1));
        entry.Line2 = PlainUpperCase(std::string(l2));
        TSatellite satellite;
        try {
            satellite.ParseElements(entry.Line1, entry.Line2);
        } catch (const EMathError&) {
            return std::nullopt; // a set that does not decode is no set of the list
        }
        entry.Epoch = satellite.EpochJulian;
        entry.Number = entry.Line1.substr(2, 5);
        entry.Name = PlainUpperCase(std::string(Set.NameLine.substr(0, 24)));
        while (!entry.Name.empty() && static_cast<unsigned char>(entry.Name.back()) <= ' ')
            entry.Name.pop_back();
        if (entry.Name == "NOAA-L")
            entry.Name = "NOAA 16";
        else if (entry.Name == "NOAA-M")
            entry.Name = "NOAA 17";
        else if (entry.Name == "NOAA-N")
            entry.Name = "NOAA 18";
        const std::size_t slash = FileName.find_last_of('/');
        entry.FileName = slash == std::string::npos ? FileName : FileName.substr(slash + 1);
        return entry;
    }

    void Admit(TEntry Entry)
    {
        const auto byNumber = ByNumber.find(Entry.Number);
        const auto byName = ByName.find(Entry.Name);
        if (byNumber == ByNumber.end() && byName == ByName.end()) {
            ++Met.New;
            Insert(std::move(Entry));
            return;
        }
        const std::size_t known = byNumber != ByNumber.end() ? byNumber->second : byName->second;
        const bool sameName = Sets[known].Name == Entry.Name;
        const bool sameNumber = Sets[known].Number == Entry.Number;
        if (Entry.Epoch > Sets[known].Epoch) {
            ++(sameName && sameNumber ? Met.Newer : sameNumber ? Met.NewerRenamed : Met.NewerRenumbered);
            Remove(known);
            Insert(std::move(Entry));
        } else {
            ++(Entry.Epoch == Sets[known].Epoch ? Met.Tie : Met.Older);
        }
    }

    void Insert(TEntry Entry)
    {
        if (const auto named = ByName.find(Entry.Name); named != ByName.end()) {
            ++Met.NameEntryGone;
            Remove(named->second);
        }
        Sets.push_back(std::move(Entry));
        ByName[Sets.back().Name] = Sets.size() - 1;
        ByNumber[Sets.back().Number] = Sets.size() - 1;
    }

    void Remove(std::size_t Index)
    {
        ByName.erase(Sets[Index].Name);
        ByNumber.erase(Sets[Index].Number);
    }

    std::vector<TEntry> Sets;
    std::map<std::string, std::size_t> ByName;
    std::map<std::string, std::size_t> ByNumber;
};

} // namespace elsetry::test
