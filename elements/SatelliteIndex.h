#pragma once
// The entries of a list by one of their keys, name or catalogue number: an open-addressing hash
// table of the satellites themselves, looked up by the key text they hold.

#include "elements/Satellite.h"

#include <absl/container/flat_hash_set.h>
#include <absl/hash/hash.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace elsetry {

// Names and catalogue numbers are short: they are hashed eight bytes at a time, and the words
// mixed as Abseil mixes a number.
std::uint64_t KeyHash(std::string_view Text);

// The key a catalogue number is listed under: five characters as the set's lines write them,
// upper-cased. A number past 99999 asked for in digits ("148493") is keyed by the letter form its
// lines must use ("E8493"). Nothing for a text that names no set.
std::optional<std::string> CatalogueKey(std::string_view Number);

// An entry's key and the hash of it kept beside it; the entries are satellites, or anything
// else that holds a key and its hash as a satellite does.
template <typename TItem, std::string_view TItem::*Key, std::uint64_t TItem::*Hash>
struct TKeyOf {
    // The satellites' hashes were worked out while they were set up, on every core.
    struct THasher {
        using is_transparent = void;
        std::size_t operator()(std::string_view Text) const { return Mixed(KeyHash(Text)); }
        std::size_t operator()(const TItem* S) const { return Mixed(S->*Hash); }
        static std::size_t Mixed(std::uint64_t Value) { return absl::Hash<std::uint64_t>()(Value); }
    };
    struct TEqual {
        using is_transparent = void;
        static std::string_view KeyOf(std::string_view Text) { return Text; }
        static std::string_view KeyOf(const TItem* S) { return S->*Key; }
        template <typename A, typename B>
        bool operator()(const A& Left, const B& Right) const
        {
            return KeyOf(Left) == KeyOf(Right);
        }
    };
    using TIndex = absl::flat_hash_set<TItem*, THasher, TEqual>;
};

template <std::string_view TSatellite::*Key, std::uint64_t TSatellite::*Hash>
using TSatelliteKey = TKeyOf<TSatellite, Key, Hash>;

using TNameIndex = TSatelliteKey<&TSatellite::Name, &TSatellite::NameHash>::TIndex;
using TCatalogueIndex = TSatelliteKey<&TSatellite::CatalogueNumber, &TSatellite::CatalogueNumberHash>::TIndex;

// Admits Item, the next set in file order, to the entries by the rules of a list: the latest epoch
// wins among sets of the same name or catalogue number; at equal epochs the entry already listed
// stays, and an entry of Item's name gives way to Item with its number's. Gives whether the
// entries changed.
template <typename TItem, typename TNames, typename TNumbers>
bool AdmitEntry(TItem& Item, TNames& ByName, TNumbers& ByNumber)
{
    const auto byNumber = ByNumber.find(&Item);
    const auto byName = ByName.find(&Item);
    if (byNumber != ByNumber.end() || byName != ByName.end()) {
        TItem& known = byNumber != ByNumber.end() ? **byNumber : **byName;
        if (!(Item.EpochJulian > known.EpochJulian))
            return false;
        ByNumber.erase(&known);
        ByName.erase(&known);
        // An entry of that name keeps its place; its set gives way to the new one.
        if (const auto named = ByName.find(&Item); named != ByName.end()) {
            TItem& other = **named;
            ByNumber.erase(&other);
            ByName.erase(&other);
        }
    }
    ByName.insert(&Item);
    ByNumber.insert(&Item);
    return true;
}

} // namespace elsetry
