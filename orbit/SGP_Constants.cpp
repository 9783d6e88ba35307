#include "orbit/SGP_Constants.h"

#include "orbit/SGP_Math.h"

#include <cmath>

namespace elsetry {

namespace {
double SquaredTwice(double X)
{
    const double square = X * X;
    return square * square;
}
} // namespace

const double ke = std::sqrt(1434962880.0 / (EarthRadiusKm * EarthRadiusKm * EarthRadiusKm));
const double qoms2t = SquaredTwice((120.0 - 78.0) / EarthRadiusKm);
const double a3ovk2ae3 = a3ovk2 * Power(ae, 3.0);

} // namespace elsetry
