#pragma once
// The entries of a list by one of their keys, name or catalogue number: an open-addressing hash
// table of the satellites themselves, looked up by the key text they hold.

#include "elements/Satellite.h"

#include <absl/container/flat_hash_set.h>
#include <absl/hash/hash.h>

#include <cstdint>
#include <string_view>

namespace elsetry {

// Names and catalogue numbers are short: they are hashed eight bytes at a time, and the words
// mixed as Abseil mixes a number.
std::uint64_t KeyHash(std::string_view Text);

// A satellite's key and the hash of it kept beside it.
template <std::string_view TSatellite::*Key, std::uint64_t TSatellite::*Hash>
struct TSatelliteKey {
    // The satellites' hashes were worked out while they were set up, on every core.
    struct THasher {
        using is_transparent = void;
        std::size_t operator()(std::string_view Text) const { return Mixed(KeyHash(Text)); }
        std::size_t operator()(const TSatellite* S) const { return Mixed(S->*Hash); }
        static std::size_t Mixed(std::uint64_t Value) { return absl::Hash<std::uint64_t>()(Value); }
    };
    struct TEqual {
        using is_transparent = void;
        static std::string_view KeyOf(std::string_view Text) { return Text; }
        static std::string_view KeyOf(const TSatellite* S) { return S->*Key; }
        template <typename A, typename B>
        bool operator()(const A& Left, const B& Right) const
        {
            return KeyOf(Left) == KeyOf(Right);
        }
    };
    using TIndex = absl::flat_hash_set<TSatellite*, THasher, TEqual>;
};

using TNameIndex = TSatelliteKey<&TSatellite::Name, &TSatellite::NameHash>::TIndex;
using TCatalogueIndex = TSatelliteKey<&TSatellite::CatalogueNumber, &TSatellite::CatalogueNumberHash>::TIndex;

} // namespace elsetry
