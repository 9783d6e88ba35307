// Earth-gravity resonance of deep-space orbits (synchronous and 12-hour): its coefficients and
// the numerical integration of the resonant mean longitude and mean motion.

#include "orbit/OrbitModel.h"
#include "orbit/SGP_Constants.h"
#include "orbit/SGP_Math.h"
#include "orbit/SGP_Resonance.h"

#include <cmath>

namespace elsetry {

namespace {

constexpr double StepMinutes = 720.0;
constexpr double HalfStepSquared = 259200.0; // 720^2 / 2

constexpr double Q22 = 1.7891679e-6;
constexpr double Q31 = 2.1460748e-6;
constexpr double Q33 = 2.2123015e-7;
constexpr double Root22 = 1.7891679e-6;
constexpr double Root32 = 3.7393792e-7;
constexpr double Root44 = 7.3636953e-9;
constexpr double Root52 = 1.1428639e-7;
constexpr double Root54 = 2.1765803e-9;

constexpr double Fasx2 = 0.13130908;
constexpr double Fasx4 = 2.8843198;
constexpr double Fasx6 = 0.37448087;
constexpr double G22 = 5.7686396;
constexpr double G32 = 0.95240898;
constexpr double G44 = 1.8014998;
constexpr double G52 = 1.050833;
constexpr double G54 = 4.4108898;

// Returns the resonance rate (before the offset by n0'').
double InitialiseSynchronous(TDeepSpaceState& D, double Node)
{
    const TDeepSpaceInputs& in = D.Inputs;
    const double eqsq = in.Eosq;
    const double cosiq = in.Cosio;
    const double g200 = 1.0 + eqsq * (-2.5 + 0.8125 * eqsq);
    const double g310 = 1.0 + 2.0 * eqsq;
    const double g300 = 1.0 + eqsq * (-6.0 + 6.60937 * eqsq);
    const double f220 = 0.75 * (1.0 + cosiq) * (1.0 + cosiq);
    const double f311 = 0.9375 * in.Sinio * in.Sinio * (1.0 + 3.0 * cosiq) - 0.75 * (1.0 + cosiq);
    const double f330 = 1.875 * CubeOf(1.0 + cosiq);
    const double aqnv = D.InverseSemiMajorAxis;
    const double del1 = 3.0 * D.MeanMotion * D.MeanMotion * aqnv * aqnv;
    D.Del2 = 2.0 * del1 * f220 * g200 * Q22;
    D.Del3 = 3.0 * del1 * f330 * g300 * Q33 * aqnv;
    D.Del1 = del1 * f311 * g310 * Q31 * aqnv;
    D.Lambda0 = D.MeanAnomaly + Node + D.ArgumentOfPerigee - D.SiderealAngle;
    return in.Xmdot + D.PerigeeNodeRate - EarthRotationRate + D.LongitudeRate + D.PerigeeRate + D.NodeRate;
}

// Inclination functions F of the 12-hour case.
struct TTwelveHourF {
    double F220, F221, F321, F322, F441, F442, F522, F523, F542, F543;
};

TTwelveHourF TwelveHourFFunctions(double Sinio, double Cosio)
{
    const double sini2 = Sinio * Sinio;
    const double c = Cosio;
    const double c2 = c * c;
    TTwelveHourF f{};
    f.F220 = 0.75 * (1.0 + 2.0 * c + c2);
    f.F221 = 1.5 * sini2;
    f.F321 = 1.875 * Sinio * (1.0 - 2.0 * c - 3.0 * c2);
    f.F322 = -1.875 * Sinio * (1.0 + 2.0 * c - 3.0 * c2);
    f.F441 = 35.0 * sini2 * f.F220;
    f.F442 = 39.375 * sini2 * sini2;
    f.F522 = 9.84375 * Sinio * (sini2 * (1.0 - 2.0 * c - 5.0 * c2) + 0.33333333 * (-2.0 + 4.0 * c + 6.0 * c2));
    f.F523 = Sinio * (4.92187512 * sini2 * (-2.0 - 4.0 * c + 10.0 * c2) + 6.56250012 * (1.0 + 2.0 * c - 3.0 * c2));
    f.F542 = 29.53125 * Sinio * (2.0 - 8.0 * c + c2 * (-12.0 + 8.0 * c + 10.0 * c2));
    f.F543 = 29.53125 * Sinio * (-2.0 - 8.0 * c + c2 * (12.0 + 8.0 * c - 10.0 * c2));
    return f;
}

double InitialiseTwelveHour(TDeepSpaceState& D, double Node)
{
    const TDeepSpaceInputs& in = D.Inputs;
    const TTwelveHourG g = TwelveHourGFunctions(D.Eccentricity);
    const TTwelveHourF f = TwelveHourFFunctions(in.Sinio, in.Cosio);
    const double aqnv = D.InverseSemiMajorAxis;
    double temp1 = 3.0 * D.MeanMotion * D.MeanMotion * aqnv * aqnv;
    double temp = temp1 * Root22;
    D.D2201 = temp * f.F220 * g.G201;
    D.D2211 = temp * f.F221 * g.G211;
    temp1 = temp1 * aqnv;
    temp = temp1 * Root32;
    D.D3210 = temp * f.F321 * g.G310;
    D.D3222 = temp * f.F322 * g.G322;
    temp1 = temp1 * aqnv;
    temp = 2.0 * temp1 * Root44;
    D.D4410 = temp * f.F441 * g.G410;
    D.D4422 = temp * f.F442 * g.G422;
    temp1 = temp1 * aqnv;
    temp = temp1 * Root52;
    D.D5220 = temp * f.F522 * g.G520;
    D.D5232 = temp * f.F523 * g.G532;
    temp = 2.0 * temp1 * Root54;
    D.D5421 = temp * f.F542 * g.G521;
    D.D5433 = temp * f.F543 * g.G533;
    D.Lambda0 = D.MeanAnomaly + Node + Node - D.SiderealAngle - D.SiderealAngle;
    return in.Xmdot + in.Xnodot + in.Xnodot - EarthRotationRate - EarthRotationRate + D.LongitudeRate + D.NodeRate
           + D.NodeRate;
}

struct TResonanceRates {
    double Xndot = 0.0; // of the resonant mean motion
    double Xnddt = 0.0; // its rate
    double Xldot = 0.0; // of the resonant mean longitude
};

TResonanceRates SynchronousRates(const TDeepSpaceState& D)
{
    const double xli = D.Lambda;
    TResonanceRates r;
    r.Xndot = D.Del1 * std::sin(xli - Fasx2) + D.Del2 * std::sin(2.0 * (xli - Fasx4))
              + D.Del3 * std::sin(3.0 * (xli - Fasx6));
    r.Xnddt = D.Del1 * std::cos(xli - Fasx2) + 2.0 * D.Del2 * std::cos(2.0 * (xli - Fasx4))
              + 3.0 * D.Del3 * std::cos(3.0 * (xli - Fasx6));
    return r;
}

TResonanceRates TwelveHourRates(const TDeepSpaceState& D)
{
    const double xomi = D.ArgumentOfPerigee + D.Inputs.Omgdot * D.IntegratorTime;
    const double x2omi = xomi + xomi;
    const double xli = D.Lambda;
    const double x2li = xli + xli;
    TResonanceRates r;
    r.Xndot = D.D2201 * std::sin(x2omi + xli - G22) + D.D2211 * std::sin(xli - G22)
              + D.D3210 * std::sin(xomi + xli - G32) + D.D3222 * std::sin(-xomi + xli - G32)
              + D.D4410 * std::sin(x2omi + x2li - G44) + D.D4422 * std::sin(x2li - G44)
              + D.D5220 * std::sin(xomi + xli - G52) + D.D5232 * std::sin(-xomi + xli - G52)
              + D.D5421 * std::sin(xomi + x2li - G54) + D.D5433 * std::sin(-xomi + x2li - G54);
    r.Xnddt = D.D2201 * std::cos(x2omi + xli - G22) + D.D2211 * std::cos(xli - G22)
              + D.D3210 * std::cos(xomi + xli - G32) + D.D3222 * std::cos(-xomi + xli - G32)
              + D.D5220 * std::cos(xomi + xli - G52) + D.D5232 * std::cos(-xomi + xli - G52)
              + 2.0 * (D.D4410 * std::cos(x2omi + x2li - G44) + D.D4422 * std::cos(x2li - G44)
                       + D.D5421 * std::cos(xomi + x2li - G54) + D.D5433 * std::cos(-xomi + x2li - G54));
    return r;
}

TResonanceRates RatesAt(const TDeepSpaceState& D, bool Synchronous)
{
    TResonanceRates r = Synchronous ? SynchronousRates(D) : TwelveHourRates(D);
    r.Xldot = D.IntegratorMeanMotion + D.RateOffset;
    r.Xnddt = r.Xnddt * r.Xldot;
    return r;
}

void TakeStep(TDeepSpaceState& D, bool Synchronous, double Step)
{
    const TResonanceRates r = RatesAt(D, Synchronous);
    D.Lambda = D.Lambda + r.Xldot * Step + r.Xndot * HalfStepSquared;
    D.IntegratorMeanMotion = D.IntegratorMeanMotion + r.Xndot * Step + r.Xnddt * HalfStepSquared;
    D.IntegratorTime += Step;
}

bool RestartDue(const TDeepSpaceState& D, double T)
{
    const double at = D.IntegratorTime;
    return at == 0.0 || (T >= 0.0 && at < 0.0) || (T < 0.0 && at >= 0.0);
}

// Brings the integrator to within one step of T, stepping back towards epoch first when T lies
// nearer to it than the integrator does, or restarting at epoch when T is on the other side.
void AdvanceIntegrator(TDeepSpaceState& D, bool Synchronous, double T)
{
    double step = 0.0;
    for (;;) {
        if (RestartDue(D, T)) {
            step = T >= 0.0 ? StepMinutes : -StepMinutes;
            D.IntegratorTime = 0.0;
            D.IntegratorMeanMotion = D.MeanMotion;
            D.Lambda = D.Lambda0;
            break;
        }
        if (std::fabs(T) >= std::fabs(D.IntegratorTime)) {
            step = T > 0.0 ? StepMinutes : -StepMinutes;
            break;
        }
        TakeStep(D, Synchronous, T >= 0.0 ? -StepMinutes : StepMinutes);
    }
    while (std::fabs(T - D.IntegratorTime) >= StepMinutes)
        TakeStep(D, Synchronous, step);
}

} // namespace

void TOrbitModel::InitialiseResonance()
{
    TDeepSpaceState& d = *Deep;
    Resonant = 0;
    Synchronous = 0;
    const TResonance kind = ResonanceOf(d.MeanMotion, d.Eccentricity);
    if (kind == TResonance::None)
        return;
    Resonant = 1;
    double rate = 0.0;
    if (kind == TResonance::Synchronous) {
        Synchronous = 1;
        rate = InitialiseSynchronous(d, AscendingNode);
    } else {
        rate = InitialiseTwelveHour(d, AscendingNode);
    }
    d.RateOffset = rate - d.MeanMotion;
    d.Lambda = d.Lambda0;
    d.IntegratorMeanMotion = d.MeanMotion;
    d.IntegratorTime = 0.0;
}

void TOrbitModel::IntegrateResonance(double& Xll, double Omgasm, double Xnodes, double& Xn, double T)
{
    TDeepSpaceState& d = *Deep;
    AdvanceIntegrator(d, Synchronous != 0, T);
    const double ft = T - d.IntegratorTime;
    const TResonanceRates r = RatesAt(d, Synchronous != 0);
    Xn = d.IntegratorMeanMotion + r.Xndot * ft + r.Xnddt * ft * ft * 0.5;
    const double xl = d.Lambda + r.Xldot * ft + r.Xndot * ft * ft * 0.5;
    const double temp = -Xnodes + d.SiderealAngle + T * EarthRotationRate;
    Xll = Synchronous != 0 ? xl - Omgasm + temp : xl + temp + temp;
}

} // namespace elsetry
