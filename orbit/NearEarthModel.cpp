// The near-earth orbit model (periods under 225 minutes) and the parts of the initialisation and
// of the propagation that the deep-space model shares.

#include "orbit/OrbitModel.h"
#include "orbit/SGP_Constants.h"
#include "orbit/SGP_Drag.h"
#include "orbit/SGP_Math.h"

#include <cmath>

namespace elsetry {

namespace {

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

// Brouwer mean motion and semi-major axis from the element set's mean motion.
void CorrectElements(const TOrbitModel& S, TNearEarthState& N, TModelInitTerms& T)
{
    const double a1 = Power(Divide(ke, S.MeanMotion), 2.0 / 3.0);
    N.CosInclination = std::cos(S.Inclination);
    T.Theta2 = N.CosInclination * N.CosInclination;
    N.ThreeCos2Minus1 = 3.0 * T.Theta2 - 1.0;
    T.Eosq = S.Eccentricity * S.Eccentricity;
    T.Betao2 = 1.0 - T.Eosq;
    T.Betao = SquareRoot(T.Betao2);
    const double del1 = Divide(ck2x1_5 * N.ThreeCos2Minus1, a1 * a1 * T.Betao * T.Betao2);
    const double ao = a1 * (1.0 - del1 * (1.0 / 3.0 + del1 * (1.0 + 134.0 / 81.0 * del1)));
    const double delo = Divide(ck2x1_5 * N.ThreeCos2Minus1, ao * ao * T.Betao * T.Betao2);
    N.MeanMotion = Divide(S.MeanMotion, 1.0 + delo);
    N.SemiMajorAxis = Divide(ao, 1.0 - delo);
}

// Density parameters for the perigee, eta, C1 and C4.
void DragCoefficients(const TOrbitModel& S, TNearEarthState& N, TModelInitTerms& T)
{
    const double eo = S.Eccentricity;
    const double aodp = N.SemiMajorAxis;
    const TDensityParameters density = DensityParameters((aodp * (1.0 - eo) - ae) * EarthRadiusKm);
    T.S4 = density.S;
    T.Tsi = Divide(1.0, aodp - T.S4);
    N.Eta = aodp * eo * T.Tsi;
    T.Etasq = N.Eta * N.Eta;
    T.Eeta = eo * N.Eta;
    T.Psisq = std::fabs(1.0 - T.Etasq);
    T.Coef = density.Qoms24 * Power(T.Tsi, 4.0);
    T.Coef1 = Divide(T.Coef, Power(T.Psisq, 3.5));
    const double c2 = T.Coef1 * N.MeanMotion
                      * (aodp * (1.0 + 1.5 * T.Etasq + T.Eeta * (4.0 + T.Etasq))
                         + Divide(ck2x0_75 * T.Tsi, T.Psisq) * N.ThreeCos2Minus1
                               * (8.0 + 3.0 * T.Etasq * (8.0 + T.Etasq)));
    N.C1 = S.DragTerm * c2;
    N.SinInclination = std::sin(S.Inclination);
    N.OneMinusCos2 = 1.0 - T.Theta2;
    N.C4 = 2.0 * N.MeanMotion * T.Coef1 * aodp * T.Betao2
           * (N.Eta * (2.0 + 0.5 * T.Etasq) + eo * (0.5 + 2.0 * T.Etasq)
              - Divide(ck2x2 * T.Tsi, aodp * T.Psisq)
                    * (-3.0 * N.ThreeCos2Minus1 * (1.0 - 2.0 * T.Eeta + T.Etasq * (1.5 - 0.5 * T.Eeta))
                       + 0.75 * N.OneMinusCos2 * (2.0 * T.Etasq - T.Eeta * (1.0 + T.Etasq))
                             * std::cos(2.0 * S.ArgumentOfPerigee)));
}

// Secular rates of mean anomaly, perigee and node, the node drag and the J3 long-period terms.
void SecularRates(TNearEarthState& N, const TModelInitTerms& T)
{
    const double pinvsq = Divide(1.0, N.SemiMajorAxis * N.SemiMajorAxis * T.Betao2 * T.Betao2);
    const double theta2 = T.Theta2;
    const double theta4 = theta2 * theta2;
    const double temp1 = ck2x3 * pinvsq * N.MeanMotion;
    const double temp2 = temp1 * k2 * pinvsq;
    const double temp3 = ck4x1_25 * pinvsq * pinvsq * N.MeanMotion;
    N.MeanAnomalyRate = N.MeanMotion + 0.5 * temp1 * T.Betao * N.ThreeCos2Minus1
                        + 0.0625 * temp2 * T.Betao * (13.0 - 78.0 * theta2 + 137.0 * theta4);
    N.PerigeeRate = -0.5 * temp1 * (1.0 - 5.0 * theta2) + 0.0625 * temp2 * (7.0 - 114.0 * theta2 + 395.0 * theta4)
                    + temp3 * (3.0 - 36.0 * theta2 + 49.0 * theta4);
    const double xhdot1 = -temp1 * N.CosInclination;
    N.NodeRate = xhdot1 + (0.5 * temp2 * (4.0 - 19.0 * theta2) + 2.0 * temp3 * (3.0 - 7.0 * theta2)) * N.CosInclination;
    N.NodeDrag = 3.5 * T.Betao2 * xhdot1 * N.C1;
    N.T2 = 1.5 * N.C1;
    const double a3 = a3ovk2ae3;
    N.LongPeriodL = Divide(0.125 * a3 * N.SinInclination * (3.0 + 5.0 * N.CosInclination), 1.0 + N.CosInclination);
    N.LongPeriodAyn = 0.25 * a3 * N.SinInclination;
    N.SevenCos2Minus1 = 7.0 * theta2 - 1.0;
}

// The osculating orbit at a time, before the short-period terms.
struct TOrbitPoint {
    double MeanMotion = 0.0; // from the perturbed semi-major axis
    double SemiLatusRectum = 0.0;
    double Betal = 0.0;
    double Radius = 0.0;
    double RadialRate = 0.0;
    double TransverseRate = 0.0;
    double U = 0.0; // argument of latitude
    double Sin2u = 0.0;
    double Cos2u = 0.0;
    double Node = 0.0;
    double Inclination = 0.0;
};

// Short-period terms, with the inclination factors of the epoch; returns the corrected
// argument of latitude.
double ShortPeriodicsAndVectors(const TNearEarthState& N, const TOrbitPoint& P, double (&Position)[3],
                                double (&Velocity)[3])
{
    const double temp1 = Divide(k2, P.SemiLatusRectum);
    const double temp2 = Divide(temp1, P.SemiLatusRectum);
    const double rk = P.Radius * (1.0 - 1.5 * temp2 * P.Betal * N.ThreeCos2Minus1)
                      + 0.5 * temp1 * N.OneMinusCos2 * P.Cos2u;
    const double uk = Finite(P.U - 0.25 * temp2 * N.SevenCos2Minus1 * P.Sin2u);
    const double xnodek = P.Node + 1.5 * temp2 * N.CosInclination * P.Sin2u;
    const double xinck = P.Inclination + 1.5 * temp2 * N.CosInclination * N.SinInclination * P.Cos2u;
    const double rdotk = P.RadialRate - P.MeanMotion * temp1 * N.OneMinusCos2 * P.Sin2u;
    const double rfdotk = P.TransverseRate + P.MeanMotion * temp1 * (N.OneMinusCos2 * P.Cos2u + 1.5 * N.ThreeCos2Minus1);
    StoreVectors(rk, rdotk, rfdotk, uk, xinck, xnodek, Position, Velocity);
    return uk;
}

} // namespace

// The published initialisation up to C4, the secular rates and the long-period coefficients.
TModelInitTerms TOrbitModel::InitialiseCommonModel()
{
    TModelInitTerms terms;
    CorrectElements(*this, NearEarth, terms);
    DragCoefficients(*this, NearEarth, terms);
    SecularRates(NearEarth, terms);
    return terms;
}

void TOrbitModel::InitialiseNearEarth()
{
    const TModelInitTerms t = InitialiseCommonModel();
    TNearEarthState& s = NearEarth;
    SimpleDrag = UsesSimpleDrag(s.SemiMajorAxis * (1.0 - Eccentricity) / ae) ? 1 : 0;
    const double a3 = a3ovk2ae3;
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

void TOrbitModel::PropagateNearEarth(double (&Position)[3], double (&Velocity)[3], double MinutesSinceEpoch)
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

void TOrbitModel::FinishPropagation(const TMeanElements& Mean, double (&Position)[3], double (&Velocity)[3])
{
    const TNearEarthState& s = NearEarth;
    const double a = Mean.SemiMajorAxis;
    const double e = Mean.Eccentricity;
    const double beta = SquareRoot(1.0 - e * e);
    TOrbitPoint p;
    p.MeanMotion = Divide(ke, Power(a, 1.5));

    const double axn = e * std::cos(Mean.ArgumentOfPerigee);
    const double lpTemp = Divide(1.0, a * beta * beta);
    const double xlt = Mean.MeanLongitude + lpTemp * s.LongPeriodL * axn;
    const double ayn = e * std::sin(Mean.ArgumentOfPerigee) + lpTemp * s.LongPeriodAyn;

    const TKeplerSolution k = SolveKepler(WrapTwoPi(xlt - Mean.Node), axn, ayn);
    const double elsq = axn * axn + ayn * ayn;
    p.SemiLatusRectum = a * (1.0 - elsq);
    p.Radius = a * (1.0 - k.ECosE);
    const double invR = Divide(1.0, p.Radius);
    p.RadialRate = ke * SquareRoot(a) * k.ESinE * invR;
    p.TransverseRate = ke * SquareRoot(p.SemiLatusRectum) * invR;
    p.Betal = SquareRoot(1.0 - elsq);
    const double eTerm = Divide(k.ESinE, 1.0 + p.Betal);
    const double cosu = a * invR * (k.CosEpw - axn + ayn * eTerm);
    const double sinu = a * invR * (k.SinEpw - ayn - axn * eTerm);
    p.U = QuadrantArcTan(sinu, cosu);
    p.Sin2u = 2.0 * sinu * cosu;
    p.Cos2u = 2.0 * cosu * cosu - 1.0;
    p.Node = Mean.Node;
    p.Inclination = Mean.Inclination;
    ArgumentOfLatitude = ShortPeriodicsAndVectors(s, p, Position, Velocity);
}

} // namespace elsetry
