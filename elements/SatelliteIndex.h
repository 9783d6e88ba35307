#pragma once
// The entries of a list by one of their keys, name or catalogue number: an open-addressing hash
// table of the satellites themselves, looked up by the key text they hold.

#include "elements/Satellite.h"

#include <absl/container/flat_hash_set.h>
#include <absl/hash/hash.h>

#include <string_view>

namespace elsetry {

template <std::string_view TSatellite::*Key>
struct TSatelliteKeyHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view Text) const { return absl::Hash<std::string_view>()(Text); }
    std::size_t operator()(const TSatellite* S) const { return (*this)(S->*Key); }
};

template <std::string_view TSatellite::*Key>
struct TSatelliteKeyEqual {
    using is_transparent = void;
    static std::string_view KeyOf(std::string_view Text) { return Text; }
    static std::string_view KeyOf(const TSatellite* S) { return S->*Key; }
    template <typename A, typename B>
    bool operator()(const A& Left, const B& Right) const
    {
        return KeyOf(Left) == KeyOf(Right);
    }
};

template <std::string_view TSatellite::*Key>
using TSatelliteIndex =
    absl::flat_hash_set<TSatellite*, TSatelliteKeyHash<Key>, TSatelliteKeyEqual<Key>>;

using TNameIndex = TSatelliteIndex<&TSatellite::Name>;
using TCatalogueIndex = TSatelliteIndex<&TSatellite::CatalogueNumber>;

} // namespace elsetry
