// The deep-space orbit model (periods of 225 minutes or more): initialisation, the lunar-solar
// secular and periodic terms and the propagation. The resonance terms are in
// SatelliteResonanceModel.cpp.

#include "orbit/OrbitModel.h"
#include "orbit/SGP_Constants.h"
#include "orbit/SGP_Math.h"
#include "orbit/SGP_Time.h"

#include <cmath>

namespace elsetry {

namespace {

// Below this epoch inclination the lunar-solar node terms are left out.
constexpr double NodeTermsInclinationLimit = 0.052359877;
// Below this epoch inclination the periodics are applied in the Lyddane form.
constexpr double LyddaneInclinationLimit = 0.2;
// The periodic terms are re-evaluated once the time moves this far from their last evaluation.
constexpr double PeriodicCacheMinutes = 30.0;
constexpr double PeriodicCacheUnset = 1.0e20;

// One perturbing body as the lunar-solar terms see it.
struct TPerturbingBody {
    double CosArgument, SinArgument;
    double CosInclination, SinInclination;
    double CosNode, SinNode;
    double Constant;   // perturbation constant
    double MeanMotion; // rad/min
    double Eccentricity;
};

constexpr double SunCosArgument = 0.1945905;
constexpr double SunSinArgument = -0.98088458;
constexpr double SunCosInclination = 0.91744867;
constexpr double SunSinInclination = 0.39785416;
constexpr double SunConstant = 2.9864797e-6;
constexpr double SunMeanMotion = 1.19459e-5;
constexpr double SunEccentricity = 0.01675;
constexpr double MoonConstant = 4.7968065e-7;
constexpr double MoonMeanMotion = 0.00015835218;
constexpr double MoonEccentricity = 0.0549;

TLunarEpochTerms ComputeLunarEpochTerms(double Day)
{
    TLunarEpochTerms m;
    m.Day = Day;
    const double xnodce = 4.523602 - 0.00092422029 * Day;
    const double stem = std::sin(xnodce);
    const double ctem = std::cos(xnodce);
    m.CosInclination = 0.91375164 - 0.03568096 * ctem;
    m.SinInclination = SquareRoot(1.0 - m.CosInclination * m.CosInclination);
    m.SinNode = Divide(0.089683511 * stem, m.SinInclination);
    m.CosNode = SquareRoot(1.0 - m.SinNode * m.SinNode);
    const double c = 4.7199672 + 0.2299715 * Day;
    const double gam = 5.8351514 + 0.001944368 * Day;
    m.MoonMeanAnomaly = WrapTwoPi(c - gam);
    double zx = Divide(0.39785416 * stem, m.SinInclination);
    const double zy = m.CosNode * ctem + 0.91744867 * m.SinNode * stem;
    zx = QuadrantArcTan(zx, zy) + gam - xnodce;
    m.CosArgument = std::cos(zx);
    m.SinArgument = std::sin(zx);
    m.SunMeanAnomaly = WrapTwoPi(6.2565837 + 0.017201977 * Day);
    return m;
}

// Secular rates one body contributes.
struct TSecularParts {
    double Se, Si, Sl, Sgh, Sh;
};

// The body's orbit seen from the satellite's orbit plane and perigee.
struct TPassGeometry {
    double A1, A2, A3, A4, A5, A6;
    double X1, X2, X3, X4, X5, X6, X7, X8;
};

TPassGeometry PassGeometry(const TPerturbingBody& B, const TDeepSpaceInputs& In)
{
    TPassGeometry g{};
    g.A1 = B.CosArgument * B.CosNode + B.SinArgument * B.CosInclination * B.SinNode;
    g.A3 = -B.SinArgument * B.CosNode + B.CosArgument * B.CosInclination * B.SinNode;
    const double a7 = -B.CosArgument * B.SinNode + B.SinArgument * B.CosInclination * B.CosNode;
    const double a8 = B.SinArgument * B.SinInclination;
    const double a9 = B.SinArgument * B.SinNode + B.CosArgument * B.CosInclination * B.CosNode;
    const double a10 = B.CosArgument * B.SinInclination;
    g.A2 = In.Cosio * a7 + In.Sinio * a8;
    g.A4 = In.Cosio * a9 + In.Sinio * a10;
    g.A5 = -In.Sinio * a7 + In.Cosio * a8;
    g.A6 = -In.Sinio * a9 + In.Cosio * a10;
    g.X1 = g.A1 * In.Cosg + g.A2 * In.Sing;
    g.X2 = g.A3 * In.Cosg + g.A4 * In.Sing;
    g.X3 = -g.A1 * In.Sing + g.A2 * In.Cosg;
    g.X4 = -g.A3 * In.Sing + g.A4 * In.Cosg;
    g.X5 = g.A5 * In.Sing;
    g.X6 = g.A6 * In.Sing;
    g.X7 = g.A5 * In.Cosg;
    g.X8 = g.A6 * In.Cosg;
    return g;
}

// The published lunar-solar terms of one body: its periodic coefficients and secular parts.
TSecularParts LunarSolarPass(const TPerturbingBody& B, const TDeepSpaceInputs& In, double Eccentricity,
                             double Inclination, TLunarSolarCoefficients& Out)
{
    const double eqsq = In.Eosq;
    const TPassGeometry g = PassGeometry(B, In);
    const double a1 = g.A1, a2 = g.A2, a3 = g.A3, a4 = g.A4, a5 = g.A5, a6 = g.A6;
    const double x1 = g.X1, x2 = g.X2, x3 = g.X3, x4 = g.X4, x5 = g.X5, x6 = g.X6, x7 = g.X7, x8 = g.X8;

    const double z31 = 12.0 * x1 * x1 - 3.0 * x3 * x3;
    const double z32 = 24.0 * x1 * x2 - 6.0 * x3 * x4;
    const double z33 = 12.0 * x2 * x2 - 3.0 * x4 * x4;
    double z1 = 3.0 * (a1 * a1 + a2 * a2) + z31 * eqsq;
    double z2 = 6.0 * (a1 * a3 + a2 * a4) + z32 * eqsq;
    double z3 = 3.0 * (a3 * a3 + a4 * a4) + z33 * eqsq;
    const double z11 = -6.0 * a1 * a5 + eqsq * (-24.0 * x1 * x7 - 6.0 * x3 * x5);
    const double z12 = -6.0 * (a1 * a6 + a3 * a5) + eqsq * (-24.0 * (x2 * x7 + x1 * x8) - 6.0 * (x3 * x6 + x4 * x5));
    const double z13 = -6.0 * a3 * a6 + eqsq * (-24.0 * x2 * x8 - 6.0 * x4 * x6);
    const double z21 = 6.0 * a2 * a5 + eqsq * (24.0 * x1 * x5 - 6.0 * x3 * x7);
    const double z22 = 6.0 * (a4 * a5 + a2 * a6) + eqsq * (24.0 * (x2 * x5 + x1 * x6) - 6.0 * (x4 * x7 + x3 * x8));
    const double z23 = 6.0 * a4 * a6 + eqsq * (24.0 * x2 * x6 - 6.0 * x4 * x8);
    z1 = z1 + z1 + In.Betao2 * z31;
    z2 = z2 + z2 + In.Betao2 * z32;
    z3 = z3 + z3 + In.Betao2 * z33;

    const double s3 = Divide(B.Constant, In.Xnodp);
    const double s2 = Divide(-0.5 * s3, In.Betao);
    const double s4 = s3 * In.Betao;
    const double s1 = -15.0 * Eccentricity * s4;
    const double s5 = x1 * x3 + x2 * x4;
    const double s6 = x2 * x3 + x1 * x4;
    const double s7 = x2 * x4 - x1 * x3;

    TSecularParts p;
    p.Se = s1 * B.MeanMotion * s5;
    p.Si = s2 * B.MeanMotion * (z11 + z13);
    p.Sl = -B.MeanMotion * s3 * (z1 + z3 - 14.0 - 6.0 * eqsq);
    p.Sgh = s4 * B.MeanMotion * (z31 + z33 - 6.0);
    p.Sh = Inclination < NodeTermsInclinationLimit ? 0.0 : -B.MeanMotion * s2 * (z21 + z23);

    Out.E2 = 2.0 * s1 * s6;
    Out.E3 = 2.0 * s1 * s7;
    Out.I2 = 2.0 * s2 * z12;
    Out.I3 = 2.0 * s2 * (z13 - z11);
    Out.L2 = -2.0 * s3 * z2;
    Out.L3 = -2.0 * s3 * (z3 - z1);
    Out.L4 = -2.0 * s3 * (-21.0 - 9.0 * eqsq) * B.Eccentricity;
    Out.Gh2 = 2.0 * s4 * z32;
    Out.Gh3 = 2.0 * s4 * (z33 - z31);
    Out.Gh4 = -18.0 * s4 * B.Eccentricity;
    Out.H2 = -2.0 * s2 * z22;
    Out.H3 = -2.0 * s2 * (z23 - z21);
    return p;
}

void LunarSolarSecularRates(TDeepSpaceState& D)
{
    const TLunarEpochTerms& m = D.Lunar;
    const TPerturbingBody sun{SunCosArgument, SunSinArgument, SunCosInclination, SunSinInclination,
                              D.CosNode, D.SinNode, SunConstant, SunMeanMotion, SunEccentricity};
    const TSecularParts s = LunarSolarPass(sun, D.Inputs, D.Eccentricity, D.Inclination, D.Sun);
    const double sinio = D.Inputs.Sinio;
    const double cosio = D.Inputs.Cosio;
    D.EccentricityRate = s.Se;
    D.InclinationRate = s.Si;
    D.LongitudeRate = s.Sl;
    D.NodeRate = Divide(s.Sh, sinio);
    D.PerigeeRate = s.Sgh - cosio * D.NodeRate;

    const TPerturbingBody moon{m.CosArgument, m.SinArgument, m.CosInclination, m.SinInclination,
                               m.CosNode * D.CosNode + m.SinNode * D.SinNode,
                               D.SinNode * m.CosNode - D.CosNode * m.SinNode,
                               MoonConstant, MoonMeanMotion, MoonEccentricity};
    const TSecularParts l = LunarSolarPass(moon, D.Inputs, D.Eccentricity, D.Inclination, D.Moon);
    D.EccentricityRate += l.Se;
    D.InclinationRate += l.Si;
    D.LongitudeRate += l.Sl;
    D.PerigeeRate += l.Sgh - Divide(cosio, sinio) * l.Sh;
    D.NodeRate += Divide(l.Sh, sinio);
}

TLunarSolarChanges BodyChanges(const TLunarSolarCoefficients& C, double MeanAnomaly, double TwiceEccentricity)
{
    const double zf = MeanAnomaly + TwiceEccentricity * std::sin(MeanAnomaly);
    const double sinzf = std::sin(zf);
    const double f2 = 0.5 * sinzf * sinzf - 0.25;
    const double f3 = -0.5 * sinzf * std::cos(zf);
    return {C.E2 * f2 + C.E3 * f3, C.I2 * f2 + C.I3 * f3, C.L2 * f2 + C.L3 * f3 + C.L4 * sinzf,
            C.Gh2 * f2 + C.Gh3 * f3 + C.Gh4 * sinzf, C.H2 * f2 + C.H3 * f3};
}

void EvaluatePeriodics(TDeepSpaceState& D, double T)
{
    D.PeriodicTime = T;
    const TLunarSolarChanges sun = BodyChanges(D.Sun, D.Lunar.SunMeanAnomaly + SunMeanMotion * T, 2.0 * SunEccentricity);
    const TLunarSolarChanges moon =
        BodyChanges(D.Moon, D.Lunar.MoonMeanAnomaly + MoonMeanMotion * T, 2.0 * MoonEccentricity);
    D.SunGh = sun.Gh;
    D.SunH = sun.H;
    D.MoonGh = moon.Gh;
    D.MoonH = moon.H;
    D.Pe = sun.E + moon.E;
    D.Pinc = sun.I + moon.I;
    D.Pl = sun.L + moon.L;
}

} // namespace

void TOrbitModel::InitialiseDeepSpace()
{
    const TModelInitTerms t = InitialiseCommonModel();
    NearEarth.SinPerigee = std::sin(ArgumentOfPerigee);
    NearEarth.CosPerigee = std::cos(ArgumentOfPerigee);
    if (Deep == nullptr) {
        OwnDeep = std::make_unique<TDeepSpaceState>();
        Deep = OwnDeep.get();
    }
    // Marked done before the deep-space part runs, so a failure there is not retried; the state
    // it leaves stays flagged incomplete and later propagations raise.
    ModelInitPending = 0;
    const TNearEarthState& s = NearEarth;
    DeepSpaceInit(t.Eosq, s.SinInclination, s.CosInclination, t.Betao, s.SemiMajorAxis, t.Theta2, s.SinPerigee,
                  s.CosPerigee, t.Betao2, s.MeanAnomalyRate, s.PerigeeRate, s.NodeRate, s.MeanMotion);
}

void TOrbitModel::DeepSpaceInit(double Eosq, double Sinio, double Cosio, double Betao, double Aodp, double Theta2,
                               double Sing, double Cosg, double Betao2, double Xmdot, double Omgdot,
                               double Xnodot, double Xnodp)
{
    TDeepSpaceState& d = *Deep;
    d.Complete = false;
    d.Inputs = {Eosq, Sinio, Cosio, Betao, Aodp, Theta2, Sing, Cosg, Betao2, Xmdot, Omgdot, Xnodot, Xnodp};
    const TSiderealEpoch epoch = SiderealAngleAtEpoch(EpochYearDay);
    d.SiderealAngle = epoch.Angle;
    d.Eccentricity = Eccentricity;
    d.MeanMotion = Xnodp;
    d.InverseSemiMajorAxis = Divide(1.0, Aodp);
    d.Inclination = Inclination;
    d.MeanAnomaly = MeanAnomaly;
    d.PerigeeNodeRate = Omgdot + Xnodot;
    d.SinNode = std::sin(AscendingNode);
    d.CosNode = std::cos(AscendingNode);
    d.ArgumentOfPerigee = ArgumentOfPerigee;

    const double day = epoch.DaysSince1950 + DaysFrom1900To1950;
    if (day != d.Lunar.Day)
        d.Lunar = ComputeLunarEpochTerms(day);
    d.PeriodicTime = PeriodicCacheUnset;
    LunarSolarSecularRates(d);
    InitialiseResonance();
    d.Complete = true;
}

void TOrbitModel::PropagateDeepSpace(double (&Position)[3], double (&Velocity)[3], double MinutesSinceEpoch)
{
    if (ModelInitPending != 0)
        InitialiseDeepSpace();
    // The model counts as initialised even when its deep-space part failed; propagating from
    // that incomplete state would give wrong positions without a word.
    if (!Deep || !Deep->Complete)
        throw EMathError("Deep-space initialisation failed");
    const TNearEarthState& s = NearEarth;
    // An infinite time would keep the resonance integrator stepping for ever, and one centuries
    // from epoch would keep it busy for hours, 720 minutes a step.
    const double t = Finite(MinutesSinceEpoch);
    constexpr double MaxResonantMinutes = 1.0e8;
    if (Resonant != 0 && std::fabs(t) > MaxResonantMinutes)
        throw EMathError("Time too far from epoch for a resonant orbit");
    double xmdf = MeanAnomaly + s.MeanAnomalyRate * t;
    double omgadf = ArgumentOfPerigee + s.PerigeeRate * t;
    const double tsq = t * t;
    double xnode = AscendingNode + s.NodeRate * t + s.NodeDrag * tsq;
    const double tempa = 1.0 - s.C1 * t;
    const double tempe = DragTerm * s.C4 * t;
    const double templ = s.T2 * tsq;
    double xn = s.MeanMotion;
    double em = 0.0;
    double xinc = 0.0;
    DeepSpaceSecular(xmdf, omgadf, xnode, em, xinc, xn, t);

    TMeanElements mean;
    mean.SemiMajorAxis = Power(Divide(ke, xn), 2.0 / 3.0) * tempa * tempa;
    double e = em - tempe;
    double xmam = xmdf + s.MeanMotion * templ;
    DeepSpacePeriodic(e, xinc, omgadf, xnode, xmam);
    mean.Eccentricity = e;
    mean.ArgumentOfPerigee = omgadf;
    mean.Node = xnode;
    mean.MeanLongitude = xmam + omgadf + xnode;
    mean.Inclination = xinc;
    FinishPropagation(mean, Position, Velocity);
}

void TOrbitModel::DeepSpaceSecular(double& Xll, double& Omgasm, double& Xnodes, double& Em, double& Xinc,
                                  double& Xn, double T)
{
    TDeepSpaceState& d = *Deep;
    d.Time = T;
    Xll += d.LongitudeRate * T;
    Omgasm += d.PerigeeRate * T;
    Xnodes += d.NodeRate * T;
    Em = d.Eccentricity + d.EccentricityRate * T;
    Xinc = d.Inclination + d.InclinationRate * T;
    if (Xinc < 0.0) {
        Xinc = -Xinc;
        Xnodes += Pi;
        Omgasm -= Pi;
    }
    if (Resonant != 0)
        IntegrateResonance(Xll, Omgasm, Xnodes, Xn, T);
}

void TOrbitModel::DeepSpacePeriodic(double& Em, double& Xinc, double& Omgasm, double& Xnodes, double& Xll)
{
    TDeepSpaceState& d = *Deep;
    const double t = d.Time;
    const double sinis = std::sin(Xinc);
    const double cosis = std::cos(Xinc);
    if (std::fabs(d.PeriodicTime - t) >= PeriodicCacheMinutes)
        EvaluatePeriodics(d, t);
    double pgh = d.SunGh + d.MoonGh;
    double ph = d.SunH + d.MoonH;
    Xinc += d.Pinc;
    Em += d.Pe;
    if (d.Inclination >= LyddaneInclinationLimit) {
        ph = Divide(ph, d.Inputs.Sinio);
        pgh -= d.Inputs.Cosio * ph;
        Omgasm += pgh;
        Xnodes += ph;
        Xll += d.Pl;
        return;
    }
    // Near the equator the node is ill-defined, so the periodics go through the Lyddane form.
    const double sinok = std::sin(Xnodes);
    const double cosok = std::cos(Xnodes);
    const double alfdp = sinis * sinok + ph * cosok + d.Pinc * cosis * sinok;
    const double betdp = sinis * cosok - ph * sinok + d.Pinc * cosis * cosok;
    const double xls = Xll + Omgasm + cosis * Xnodes + d.Pl + pgh - d.Pinc * Xnodes * sinis;
    Xnodes = QuadrantArcTan(alfdp, betdp);
    Xll += d.Pl;
    Omgasm = xls - Xll - std::cos(Xinc) * Xnodes;
}

} // namespace elsetry
