// The model's choice between near-earth and deep space, and the dispatch by model.

#include "orbit/OrbitModel.h"

#include "orbit/SGP_Constants.h"
#include "orbit/SGP_Math.h"

#include <cmath>

namespace elsetry {

namespace {

// The model's own period choice, from the mean motion corrected for the earth's oblateness.
int UsesDeepSpaceModel(double MeanMotion, double Eccentricity, double Inclination)
{
    const double a1 = Power(Divide(ke, MeanMotion), 2.0 / 3.0);
    const double b = Power(1.0 - Eccentricity * Eccentricity, 1.5);
    const double cosi = std::cos(Inclination);
    const double d = Divide(ck2x1_5 * (3.0 * cosi * cosi - 1.0), b);
    const double d1 = Divide(d, a1 * a1);
    const double a0 = a1 * (1.0 - d1 * (1.0 / 3.0 + d1 * (1.0 + (134.0 / 81.0) * d1)));
    const double d0 = Divide(d, a0 * a0);
    const double n0 = Divide(MeanMotion, 1.0 + d0);
    return Divide(TwoPi, n0) >= DeepSpacePeriodLimit ? 1 : 0;
}

} // namespace

TOrbitModel::TOrbitModel() = default;
TOrbitModel::~TOrbitModel() = default;

void TOrbitModel::ChooseModel()
{
    DeepSpace = UsesDeepSpaceModel(MeanMotion, Eccentricity, Inclination);
    ModelInitPending = 1;
}

void TOrbitModel::PropagateToTime(double (&Position)[3], double (&Velocity)[3], double Time)
{
    const double minutes = (Time - EpochJulian) * MinutesPerDay;
    if (DeepSpace != 0)
        PropagateDeepSpace(Position, Velocity, minutes);
    else
        PropagateNearEarth(Position, Velocity, minutes);
    if (ArgumentOfLatitude < 0.0)
        ArgumentOfLatitude += TwoPi;
}

} // namespace elsetry
