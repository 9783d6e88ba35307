#include "orbit/SGP_Constants.h"

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

} // namespace elsetry
