#pragma once
// Whether the machine looks connected to a network.

namespace elsetry {

// True when the machine's own host name resolves to at least one address whose text is not empty.
bool MachineNameResolves();

} // namespace elsetry
