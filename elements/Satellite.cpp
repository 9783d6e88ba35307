#include "elements/Satellite.h"

#include "elements/ElementFields.h"
#include "orbit/EpochTime.h"
#include "orbit/SGP_Constants.h"
#include "orbit/SGP_Math.h"
#include "text/Strings.h"

#include <cmath>

namespace elsetry {

namespace {

// Argument of latitude whose sine at epoch is below this counts as the southern half.
constexpr double SouthernHalfSine = 6.0e-6;

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

    ChooseModel();
}

void TSatellite::PropagateToOwnEpoch()
{
    double position[3];
    double velocity[3];
    PropagateToTime(position, velocity, EpochJulian);
    if (std::sin(ArgumentOfLatitude) < SouthernHalfSine)
        RevolutionNumber += 1.0;
}

} // namespace elsetry
