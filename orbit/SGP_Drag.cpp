#include "orbit/SGP_Drag.h"

#include "orbit/SGP_Constants.h"
#include "orbit/SGP_Math.h"

namespace elsetry {

TDensityParameters DensityParameters(double PerigeeHeightKm)
{
    if (PerigeeHeightKm >= LowPerigeeKm)
        return {DensityParameterS, qoms2t};
    const double sKm = PerigeeHeightKm > VeryLowPerigeeKm ? PerigeeHeightKm - DensityS0Km : VeryLowPerigeeSKm;
    return {sKm / EarthRadiusKm + ae, Power((DensityQ0Km - sKm) * ae / EarthRadiusKm, 4.0)};
}

bool UsesSimpleDrag(double PerigeeRadius)
{
    return PerigeeRadius < SimpleDragPerigeeLimit;
}

} // namespace elsetry
