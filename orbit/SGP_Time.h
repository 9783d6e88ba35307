#pragma once
// Sidereal time of the orbit model.

namespace elsetry {

} // namespace elsetry
