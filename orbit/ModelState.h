#pragma once
// Persistent state of the orbit model, kept in every TSatellite.

namespace elsetry {

// Initialisation results shared by the near-earth and the deep-space model, and the drag terms
// only the near-earth model uses.
struct TNearEarthState {
    double SemiMajorAxis = 0.0; // a0'', earth radii
    double MeanMotion = 0.0;    // n0'', rad/min
    double CosInclination = 0.0;
    double SinInclination = 0.0;
    double ThreeCos2Minus1 = 0.0; // 3 cos^2 i0 - 1
    double OneMinusCos2 = 0.0;    // 1 - cos^2 i0
    double SevenCos2Minus1 = 0.0; // 7 cos^2 i0 - 1
    double Eta = 0.0;
    double C1 = 0.0;
    double C4 = 0.0;
    double MeanAnomalyRate = 0.0;
    double PerigeeRate = 0.0;
    double NodeRate = 0.0;
    double NodeDrag = 0.0;      // coefficient of t^2 in the node
    double T2 = 0.0;            // coefficient of t^2 in the mean longitude, 1.5 C1
    double LongPeriodL = 0.0;   // J3 coefficient of the L term
    double LongPeriodAyn = 0.0; // J3 coefficient of the a_yN term

    // Near-earth model only.
    double C5 = 0.0;
    double PerigeeDrag = 0.0; // B* C3 cos w0
    double AnomalyDrag = 0.0;
    double D2 = 0.0;
    double D3 = 0.0;
    double D4 = 0.0;
    double T3 = 0.0;
    double T4 = 0.0;
    double T5 = 0.0;
    double EtaCosM0Cubed = 0.0; // (1 + eta cos M0)^3
    double SinM0 = 0.0;

    // Deep-space model only.
    double SinPerigee = 0.0;
    double CosPerigee = 0.0;
};

// The thirteen epoch quantities the deep-space initialisation receives.
struct TDeepSpaceInputs {
    double Eosq = 0.0;
    double Sinio = 0.0;
    double Cosio = 0.0;
    double Betao = 0.0;
    double Aodp = 0.0;
    double Theta2 = 0.0;
    double Sing = 0.0;
    double Cosg = 0.0;
    double Betao2 = 0.0;
    double Xmdot = 0.0;
    double Omgdot = 0.0;
    double Xnodot = 0.0;
    double Xnodp = 0.0;
};

// Periodic coefficients of one perturbing body (Sun or Moon).
struct TLunarSolarCoefficients {
    double E2 = 0.0, E3 = 0.0;
    double I2 = 0.0, I3 = 0.0;
    double L2 = 0.0, L3 = 0.0, L4 = 0.0;
    double Gh2 = 0.0, Gh3 = 0.0, Gh4 = 0.0;
    double H2 = 0.0, H3 = 0.0;
};

// One body's periodic changes at a time.
struct TLunarSolarChanges {
    double E = 0.0, I = 0.0, L = 0.0, Gh = 0.0, H = 0.0;
};

// The Moon's epoch terms, kept for the epoch day they were computed for.
struct TLunarEpochTerms {
    double Day = 0.0; // days since 1900 January 0.5
    double CosInclination = 0.0;
    double SinInclination = 0.0;
    double CosNode = 0.0; // cos H
    double SinNode = 0.0; // sin H
    double CosArgument = 0.0;
    double SinArgument = 0.0;
    double MoonMeanAnomaly = 0.0;
    double SunMeanAnomaly = 0.0;
};

struct TDeepSpaceState {
    // False while an initialisation is under way or after one failed part-way.
    bool Complete = false;

    TDeepSpaceInputs Inputs;

    // Epoch quantities.
    double SiderealAngle = 0.0; // Greenwich, at epoch
    double Eccentricity = 0.0;
    double MeanMotion = 0.0;
    double InverseSemiMajorAxis = 0.0;
    double Inclination = 0.0;
    double MeanAnomaly = 0.0;
    double PerigeeNodeRate = 0.0; // dw/dt + dOmega/dt
    double SinNode = 0.0;
    double CosNode = 0.0;
    double ArgumentOfPerigee = 0.0;

    TLunarEpochTerms Lunar;

    // Minutes since epoch of the propagation under way; the periodic terms read it.
    double Time = 0.0;

    // Lunar-solar secular rates.
    double EccentricityRate = 0.0;
    double InclinationRate = 0.0;
    double LongitudeRate = 0.0;
    double PerigeeRate = 0.0; // of the g-h term
    double NodeRate = 0.0;

    TLunarSolarCoefficients Sun;
    TLunarSolarCoefficients Moon;

    // Periodic terms as last evaluated.
    double PeriodicTime = 0.0;
    double SunGh = 0.0, SunH = 0.0, MoonGh = 0.0, MoonH = 0.0;
    double Pe = 0.0, Pinc = 0.0, Pl = 0.0;

    // Resonance: synchronous amplitudes, 12-hour amplitudes, and the integrator.
    double Del1 = 0.0, Del2 = 0.0, Del3 = 0.0;
    double D2201 = 0.0, D2211 = 0.0, D3210 = 0.0, D3222 = 0.0, D4410 = 0.0, D4422 = 0.0;
    double D5220 = 0.0, D5232 = 0.0, D5421 = 0.0, D5433 = 0.0;
    double Lambda0 = 0.0;
    double RateOffset = 0.0; // resonance rate less n0''
    double IntegratorTime = 0.0;
    double Lambda = 0.0;
    double IntegratorMeanMotion = 0.0;
};

} // namespace elsetry

namespace elsetry {

// Intermediate values of the initialisation that both models use; they are not kept.
struct TModelInitTerms {
    double Theta2 = 0.0;
    double Eosq = 0.0;
    double Betao = 0.0;
    double Betao2 = 0.0;
    double S4 = 0.0; // s*
    double Tsi = 0.0; // xi
    double Coef = 0.0;
    double Coef1 = 0.0;
    double Etasq = 0.0;
    double Eeta = 0.0;
    double Psisq = 0.0;
};

// Mean elements at a time, after the secular (and for deep space the lunar-solar) terms.
struct TMeanElements {
    double SemiMajorAxis = 0.0;
    double Eccentricity = 0.0;
    double ArgumentOfPerigee = 0.0;
    double Node = 0.0;
    double MeanLongitude = 0.0;
    double Inclination = 0.0; // the one the short-period inclination correction starts from
};

} // namespace elsetry
