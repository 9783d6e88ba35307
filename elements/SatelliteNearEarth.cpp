// The near-earth orbit model (periods under 225 minutes), the parts of the initialisation and of
// the propagation that the deep-space model shares, and the dispatch by model.

#include "elements/Satellite.h"
#include "orbit/SGP_Constants.h"
#include "orbit/SGP_Drag.h"
#include "orbit/SGP_Math.h"

#include <cmath>

namespace elsetry {

namespace {

// Argument of latitude whose sine at epoch is below this counts as the southern half.
constexpr double SouthernHalfSine = 6.0e-6;

// Sine and cosine of E + w, and the eccentricity terms built from them.
struct TKeplerSolution {
    double SinEpw = 0.0;
    double CosEpw = 0.0;
    double ECosE = 0.0;
    double ESinE = 0.0;
};

// Solves Kepler's equation for E + w. What follows uses the sine and cosine of the last iterate
// they were taken at, not of the final value; missing the tolerance after ten tries is no error.
TKeplerSolution SolveKepler(double Capu, double Axn, double Ayn)
{
    TKeplerSolution k;
    double epw = Capu;
    for (int i = 0; i < KeplerIterations; ++i) {
        k.SinEpw = std::sin(epw);
        k.CosEpw = std::cos(epw);
        const double next = Divide(Capu - Ayn * k.CosEpw + Axn * k.SinEpw - epw,
                                   1.0 - Axn * k.CosEpw - Ayn * k.SinEpw) + epw;
        if (std::fabs(next - epw) <= KeplerTolerance)
            break;
        epw = next;
    }
    k.ECosE = Axn * k.CosEpw + Ayn * k.SinEpw;
    k.ESinE = Axn * k.SinEpw - Ayn * k.CosEpw;
    return k;
}

void StoreVectors(double Rk, double Rdotk, double Rfdotk, double Uk, double Xinck, double Xnodek,
                  double (&Position)[3], double (&Velocity)[3])
{
    const double sinuk = std::sin(Uk);
    const double cosuk = std::cos(Uk);
    const double sinik = std::sin(Xinck);
    const double cosik = std::cos(Xinck);
    const double sinnok = std::sin(Xnodek);
    const double cosnok = std::cos(Xnodek);
    const double xmx = -sinnok * cosik;
    const double xmy = cosnok * cosik;
    const double ux = xmx * sinuk + cosnok * cosuk;
    const double uy = xmy * sinuk + sinnok * cosuk;
    const double uz = sinik * sinuk;
    const double vx = xmx * cosuk - cosnok * sinuk;
    const double vy = xmy * cosuk - sinnok * sinuk;
    const double vz = sinik * cosuk;
    Position[0] = Finite(Rk * ux);
    Position[1] = Finite(Rk * uy);
    Position[2] = Finite(Rk * uz);
    Velocity[0] = Finite(Rdotk * ux + Rfdotk * vx);
    Velocity[1] = Finite(Rdotk * uy + Rfdotk * vy);
    Velocity[2] = Finite(Rdotk * uz + Rfdotk * vz);
}

} // namespace

void TSatellite::PropagateToTime(double (&Position)[3], double (&Velocity)[3], double Time)
{
    const double minutes = (Time - EpochJulian) * MinutesPerDay;
    if (DeepSpace != 0)
        PropagateDeepSpace(Position, Velocity, minutes);
    else
        PropagateNearEarth(Position, Velocity, minutes);
    if (ArgumentOfLatitude < 0.0)
        ArgumentOfLatitude += TwoPi;
}

void TSatellite::PropagateToOwnEpoch()
{
    double position[3];
    double velocity[3];
    PropagateToTime(position, velocity, EpochJulian);
    if (std::sin(ArgumentOfLatitude) < SouthernHalfSine)
        RevolutionNumber += 1.0;
}

// Corrected elements, density parameters, C1, C4, the secular rates and the long-period
// coefficients, in the order of the published initialisation.
TModelInitTerms TSatellite::InitialiseCommonModel()
{
    TNearEarthState& s = NearEarth;
    TModelInitTerms t;
    const double eo = Eccentricity;
    const double a1 = Power(Divide(ke, MeanMotion), 2.0 / 3.0);
    s.CosInclination = std::cos(Inclination);
    t.Theta2 = s.CosInclination * s.CosInclination;
    s.ThreeCos2Minus1 = 3.0 * t.Theta2 - 1.0;
    t.Eosq = eo * eo;
    t.Betao2 = 1.0 - t.Eosq;
    t.Betao = SquareRoot(t.Betao2);
    const double del1 = Divide(ck2x1_5 * s.ThreeCos2Minus1, a1 * a1 * t.Betao * t.Betao2);
    const double ao = a1 * (1.0 - del1 * (1.0 / 3.0 + del1 * (1.0 + 134.0 / 81.0 * del1)));
    const double delo = Divide(ck2x1_5 * s.ThreeCos2Minus1, ao * ao * t.Betao * t.Betao2);
    s.MeanMotion = Divide(MeanMotion, 1.0 + delo);
    s.SemiMajorAxis = Divide(ao, 1.0 - delo);

    const double perigeeKm = (s.SemiMajorAxis * (1.0 - eo) - ae) * EarthRadiusKm;
    const TDensityParameters density = DensityParameters(perigeeKm);
    t.S4 = density.S;
    const double pinvsq = Divide(1.0, s.SemiMajorAxis * s.SemiMajorAxis * t.Betao2 * t.Betao2);
    t.Tsi = Divide(1.0, s.SemiMajorAxis - t.S4);
    s.Eta = s.SemiMajorAxis * eo * t.Tsi;
    t.Etasq = s.Eta * s.Eta;
    t.Eeta = eo * s.Eta;
    t.Psisq = std::fabs(1.0 - t.Etasq);
    t.Coef = density.Qoms24 * Power(t.Tsi, 4.0);
    t.Coef1 = Divide(t.Coef, Power(t.Psisq, 3.5));
    const double c2 = t.Coef1 * s.MeanMotion
                      * (s.SemiMajorAxis * (1.0 + 1.5 * t.Etasq + t.Eeta * (4.0 + t.Etasq))
                         + Divide(ck2x0_75 * t.Tsi, t.Psisq) * s.ThreeCos2Minus1
                               * (8.0 + 3.0 * t.Etasq * (8.0 + t.Etasq)));
    s.C1 = DragTerm * c2;
    s.SinInclination = std::sin(Inclination);
    s.OneMinusCos2 = 1.0 - t.Theta2;
    s.C4 = 2.0 * s.MeanMotion * t.Coef1 * s.SemiMajorAxis * t.Betao2
           * (s.Eta * (2.0 + 0.5 * t.Etasq) + eo * (0.5 + 2.0 * t.Etasq)
              - Divide(ck2x2 * t.Tsi, s.SemiMajorAxis * t.Psisq)
                    * (-3.0 * s.ThreeCos2Minus1 * (1.0 - 2.0 * t.Eeta + t.Etasq * (1.5 - 0.5 * t.Eeta))
                       + 0.75 * s.OneMinusCos2 * (2.0 * t.Etasq - t.Eeta * (1.0 + t.Etasq))
                             * std::cos(2.0 * ArgumentOfPerigee)));

    const double theta4 = t.Theta2 * t.Theta2;
    const double temp1 = ck2x3 * pinvsq * s.MeanMotion;
    const double temp2 = temp1 * k2 * pinvsq;
    const double temp3 = ck4x1_25 * pinvsq * pinvsq * s.MeanMotion;
    s.MeanAnomalyRate = s.MeanMotion + 0.5 * temp1 * t.Betao * s.ThreeCos2Minus1
                        + 0.0625 * temp2 * t.Betao * (13.0 - 78.0 * t.Theta2 + 137.0 * theta4);
    s.PerigeeRate = -0.5 * temp1 * (1.0 - 5.0 * t.Theta2) + 0.0625 * temp2 * (7.0 - 114.0 * t.Theta2 + 395.0 * theta4)
                    + temp3 * (3.0 - 36.0 * t.Theta2 + 49.0 * theta4);
    const double xhdot1 = -temp1 * s.CosInclination;
    s.NodeRate = xhdot1 + (0.5 * temp2 * (4.0 - 19.0 * t.Theta2) + 2.0 * temp3 * (3.0 - 7.0 * t.Theta2)) * s.CosInclination;
    s.NodeDrag = 3.5 * t.Betao2 * xhdot1 * s.C1;
    s.T2 = 1.5 * s.C1;
    const double a3 = a3ovk2 * Power(ae, 3.0);
    s.LongPeriodL = Divide(0.125 * a3 * s.SinInclination * (3.0 + 5.0 * s.CosInclination), 1.0 + s.CosInclination);
    s.LongPeriodAyn = 0.25 * a3 * s.SinInclination;
    s.SevenCos2Minus1 = 7.0 * t.Theta2 - 1.0;
    return t;
}

void TSatellite::InitialiseNearEarth()
{
    const TModelInitTerms t = InitialiseCommonModel();
    TNearEarthState& s = NearEarth;
    SimpleDrag = UsesSimpleDrag(s.SemiMajorAxis * (1.0 - Eccentricity) / ae) ? 1 : 0;
    const double a3 = a3ovk2 * Power(ae, 3.0);
    const double c3 = Divide(t.Coef * t.Tsi * a3 * s.MeanMotion * ae * s.SinInclination, Eccentricity);
    s.C5 = 2.0 * t.Coef1 * s.SemiMajorAxis * t.Betao2 * (1.0 + 2.75 * (t.Etasq + t.Eeta) + t.Eeta * t.Etasq);
    s.PerigeeDrag = DragTerm * c3 * std::cos(ArgumentOfPerigee);
    s.AnomalyDrag = Divide(-2.0 / 3.0 * t.Coef * DragTerm * ae, t.Eeta);
    s.EtaCosM0Cubed = Power(1.0 + s.Eta * std::cos(MeanAnomaly), 3.0);
    s.SinM0 = std::sin(MeanAnomaly);
    if (SimpleDrag == 0) {
        const double c1sq = s.C1 * s.C1;
        s.D2 = 4.0 * s.SemiMajorAxis * t.Tsi * c1sq;
        const double temp = s.D2 * t.Tsi * s.C1 / 3.0;
        s.D3 = (17.0 * s.SemiMajorAxis + t.S4) * temp;
        s.D4 = 0.5 * temp * s.SemiMajorAxis * t.Tsi * (221.0 * s.SemiMajorAxis + 31.0 * t.S4) * s.C1;
        s.T3 = s.D2 + 2.0 * c1sq;
        s.T4 = 0.25 * (3.0 * s.D3 + s.C1 * (12.0 * s.D2 + 10.0 * c1sq));
        s.T5 = 0.2 * (3.0 * s.D4 + 12.0 * s.C1 * s.D3 + 6.0 * s.D2 * s.D2 + 15.0 * c1sq * (2.0 * s.D2 + c1sq));
    }
    ModelInitPending = 0;
}

void TSatellite::PropagateNearEarth(double (&Position)[3], double (&Velocity)[3], double MinutesSinceEpoch)
{
    // Initialisation clears the flag only when it completes, so a failed one is tried again.
    if (ModelInitPending != 0)
        InitialiseNearEarth();
    const TNearEarthState& s = NearEarth;
    const double t = MinutesSinceEpoch;
    const double xmdf = MeanAnomaly + s.MeanAnomalyRate * t;
    const double omgadf = ArgumentOfPerigee + s.PerigeeRate * t;
    const double xnoddf = AscendingNode + s.NodeRate * t;
    double omega = omgadf;
    double xmp = xmdf;
    const double tsq = t * t;
    const double xnode = xnoddf + s.NodeDrag * tsq;
    double tempa = 1.0 - s.C1 * t;
    double tempe = DragTerm * s.C4 * t;
    double templ = s.T2 * tsq;
    if (SimpleDrag == 0) {
        const double delomg = s.PerigeeDrag * t;
        const double delm = s.AnomalyDrag * (Power(1.0 + s.Eta * std::cos(xmdf), 3.0) - s.EtaCosM0Cubed);
        xmp = xmdf + delomg + delm;
        omega = omgadf - delomg - delm;
        const double tcube = tsq * t;
        const double tfour = t * tcube;
        tempa = tempa - s.D2 * tsq - s.D3 * tcube - s.D4 * tfour;
        tempe = tempe + DragTerm * s.C5 * (std::sin(xmp) - s.SinM0);
        templ = templ + s.T3 * tcube + tfour * (s.T4 + t * s.T5);
    }
    TMeanElements mean;
    mean.SemiMajorAxis = s.SemiMajorAxis * tempa * tempa;
    mean.Eccentricity = Eccentricity - tempe;
    mean.ArgumentOfPerigee = omega;
    mean.Node = xnode;
    mean.MeanLongitude = xmp + omega + xnode + s.MeanMotion * templ;
    mean.Inclination = Inclination;
    FinishPropagation(mean, Position, Velocity);
}

void TSatellite::FinishPropagation(const TMeanElements& Mean, double (&Position)[3], double (&Velocity)[3])
{
    const TNearEarthState& s = NearEarth;
    const double a = Mean.SemiMajorAxis;
    const double e = Mean.Eccentricity;
    const double beta = SquareRoot(1.0 - e * e);
    const double xn = Divide(ke, Power(a, 1.5));

    const double axn = e * std::cos(Mean.ArgumentOfPerigee);
    const double lpTemp = Divide(1.0, a * beta * beta);
    const double xlt = Mean.MeanLongitude + lpTemp * s.LongPeriodL * axn;
    const double ayn = e * std::sin(Mean.ArgumentOfPerigee) + lpTemp * s.LongPeriodAyn;

    const TKeplerSolution k = SolveKepler(WrapTwoPi(xlt - Mean.Node), axn, ayn);
    const double elsq = axn * axn + ayn * ayn;
    const double pl = a * (1.0 - elsq);
    const double r = a * (1.0 - k.ECosE);
    const double invR = Divide(1.0, r);
    const double rdot = ke * SquareRoot(a) * k.ESinE * invR;
    const double rfdot = ke * SquareRoot(pl) * invR;
    const double betal = SquareRoot(1.0 - elsq);
    const double eTerm = Divide(k.ESinE, 1.0 + betal);
    const double cosu = a * invR * (k.CosEpw - axn + ayn * eTerm);
    const double sinu = a * invR * (k.SinEpw - ayn - axn * eTerm);
    const double u = QuadrantArcTan(sinu, cosu);
    const double sin2u = 2.0 * sinu * cosu;
    const double cos2u = 2.0 * cosu * cosu - 1.0;

    const double spTemp1 = Divide(k2, pl);
    const double spTemp2 = Divide(spTemp1, pl);
    const double rk = r * (1.0 - 1.5 * spTemp2 * betal * s.ThreeCos2Minus1) + 0.5 * spTemp1 * s.OneMinusCos2 * cos2u;
    const double uk = u - 0.25 * spTemp2 * s.SevenCos2Minus1 * sin2u;
    const double xnodek = Mean.Node + 1.5 * spTemp2 * s.CosInclination * sin2u;
    const double xinck = Mean.Inclination + 1.5 * spTemp2 * s.CosInclination * s.SinInclination * cos2u;
    const double rdotk = rdot - xn * spTemp1 * s.OneMinusCos2 * sin2u;
    const double rfdotk = rfdot + xn * spTemp1 * (s.OneMinusCos2 * cos2u + 1.5 * s.ThreeCos2Minus1);

    ArgumentOfLatitude = Finite(uk);
    StoreVectors(rk, rdotk, rfdotk, uk, xinck, xnodek, Position, Velocity);
}

} // namespace elsetry
