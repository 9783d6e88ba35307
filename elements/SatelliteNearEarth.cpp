#include "elements/Satellite.h"

namespace elsetry {

void TSatellite::PropagateToOwnEpoch()
{
}

} // namespace elsetry
