#include "elements/Satellite.h"

#include "elements/ElementColumns.h"
#include "elements/ElementFields.h"
#include "orbit/EpochTime.h"
#include "orbit/SGP_Constants.h"
#include "orbit/SGP_Math.h"
#include "text/Strings.h"

#include <algorithm>
#include <cmath>

namespace elsetry {

namespace {

// Argument of latitude whose sine at epoch is below this counts as the southern half.
constexpr double SouthernHalfSine = 6.0e-6;

// These fields leave out their leading decimal point: a mantissa " 12345-4" is 0.12345e-4, an
// eccentricity "0001234" is 0.0001234.
constexpr double MantissaScale = 1.0e-5;
constexpr double EccentricityScale = 1.0e-7;

} // namespace

TSatellite::TSatellite() = default;
TSatellite::~TSatellite() = default;

void TSatellite::ParseElements(std::string_view FirstLine, std::string_view SecondLine)
{
    const std::string_view l1 = FirstLine;
    const std::string_view l2 = SecondLine;
    Line1 = l1;
    Line2 = l2;
    CatalogueNumber = FieldText(l1, Line1::CatalogueNumber);

    EpochYearDay = RealField(l1, Line1::Epoch);
    EpochJulian = EpochToJulian(EpochYearDay);
    MeanMotionDotOver2 = RealField(l1, Line1::MeanMotionDot);
    MeanMotionDDotOver6 = RealField(l1, Line1::MeanMotionDDotMantissa) * MantissaScale;
    const int ddotExponent = IntegerField(l1, Line1::MeanMotionDDotExponent);
    DragTerm = RealField(l1, Line1::DragMantissa) * MantissaScale;
    const int dragExponent = IntegerField(l1, Line1::DragExponent);
    const std::array<char, 4> elementSet = ThreeDigitText(IntegerField(l1, Line1::ElementSetNumber));
    std::copy(elementSet.begin(), elementSet.end(), ElementSetNumber);

    Inclination = RealField(l2, Line2::Inclination);
    AscendingNode = RealField(l2, Line2::AscendingNode);
    Eccentricity = RealField(l2, Line2::Eccentricity) * EccentricityScale;
    ArgumentOfPerigee = RealField(l2, Line2::ArgumentOfPerigee);
    MeanAnomaly = RealField(l2, Line2::MeanAnomaly);
    MeanMotion = RealField(l2, Line2::MeanMotion);
    RevolutionNumber = IntegerField(l2, Line2::RevolutionNumber);

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
