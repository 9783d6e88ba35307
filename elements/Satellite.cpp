#include "elements/Satellite.h"

#include "elements/ElementFields.h"
#include "elements/EpochTime.h"
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

TSatellite::TSatellite() = default;
TSatellite::~TSatellite() = default;

void TSatellite::ParseElements(std::string_view FirstLine, std::string_view SecondLine)
{
    const std::string_view l1 = FirstLine;
    const std::string_view l2 = SecondLine;
    Line1 = UpperCase(l1);
    Line2 = UpperCase(l2);
    CatalogueNumber = UpperCase(l1.size() > 2 ? l1.substr(2, 5) : std::string_view());

    EpochYearDay = RealField(l1, 19, 14);
    EpochJulian = EpochToJulian(EpochYearDay);
    MeanMotionDotOver2 = RealField(l1, 34, 10);
    MeanMotionDDotOver6 = RealField(l1, 45, 6) * 1.0e-5;
    const int ddotExponent = IntegerField(l1, 51, 2);
    DragTerm = RealField(l1, 54, 6) * 1.0e-5;
    const int dragExponent = IntegerField(l1, 60, 2);
    ElementSetNumber = ThreeDigitText(IntegerField(l1, 66, 3));

    Inclination = RealField(l2, 9, 8);
    AscendingNode = RealField(l2, 18, 8);
    Eccentricity = RealField(l2, 27, 7) * 1.0e-7;
    ArgumentOfPerigee = RealField(l2, 35, 8);
    MeanAnomaly = RealField(l2, 44, 8);
    MeanMotion = RealField(l2, 53, 11);
    RevolutionNumber = IntegerField(l2, 64, 5);

    MeanMotionDDotOver6 = Power(10.0, ddotExponent) * MeanMotionDDotOver6;
    DragTerm = Power(10.0, dragExponent) * DragTerm / ae;

    AscendingNode = DegToRad(AscendingNode);
    ArgumentOfPerigee = DegToRad(ArgumentOfPerigee);
    MeanAnomaly = DegToRad(MeanAnomaly);
    Inclination = DegToRad(Inclination);

    MeanMotion = MeanMotion * TwoPi / MinutesPerDay;
    MeanMotionDotOver2 = MeanMotionDotOver2 * TwoPi / (MinutesPerDay * MinutesPerDay);
    MeanMotionDDotOver6 = MeanMotionDDotOver6 * TwoPi / (MinutesPerDay * MinutesPerDay * MinutesPerDay);

    DeepSpace = UsesDeepSpaceModel(MeanMotion, Eccentricity, Inclination);
    ModelInitPending = 1;
}

} // namespace elsetry
