#pragma once
// Persistent state of the orbit model, kept in every TSatellite.

namespace elsetry {

struct TNearEarthState {
};

struct TDeepSpaceState {
};

} // namespace elsetry
