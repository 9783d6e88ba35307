#include "orbit/SGP_Resonance.h"

namespace elsetry {

namespace {

struct TCubic {
    double C0, C1, C2, C3;
    double At(double E, double E2, double E3) const { return C0 + C1 * E + C2 * E2 + C3 * E3; }
};

// Each function has one fit for moderate and one for high eccentricities.
struct TFitPair {
    TCubic Low, High;
};

constexpr TFitPair G211Fit{{3.616, -13.247, 16.29, 0.0}, {-72.099, 331.819, -508.738, 266.724}};
constexpr TFitPair G310Fit{{-19.302, 117.39, -228.419, 156.591}, {-346.844, 1582.851, -2415.925, 1246.113}};
constexpr TFitPair G322Fit{{-18.9068, 109.7927, -214.6334, 146.5816}, {-342.585, 1554.908, -2366.899, 1215.972}};
constexpr TFitPair G410Fit{{-41.122, 242.694, -471.094, 313.953}, {-1052.797, 4758.686, -7193.992, 3651.957}};
constexpr TFitPair G422Fit{{-146.407, 841.88, -1629.014, 1083.435}, {-3581.69, 16178.11, -24462.77, 12422.52}};
constexpr TCubic G520Low{-532.114, 3017.977, -5740.0, 3708.276};
constexpr TFitPair G520High{{1464.74, -4664.75, 3763.64, 0.0}, {-5149.66, 29936.92, -54087.36, 31324.56}};
constexpr TFitPair G533Fit{{-919.2277, 4988.61, -9064.77, 5542.21}, {-37995.78, 161616.52, -229838.2, 109377.94}};
constexpr TFitPair G521Fit{{-822.71072, 4568.6173, -8491.4146, 5337.524}, {-51752.104, 218913.95, -309468.16, 146349.42}};
constexpr TFitPair G532Fit{{-853.666, 4690.25, -8624.77, 5341.4}, {-40023.88, 170470.89, -242699.48, 115605.82}};

} // namespace

TResonance ResonanceOf(double MeanMotion, double Eccentricity)
{
    if (MeanMotion > 0.0034906585 && MeanMotion < 0.0052359877)
        return TResonance::Synchronous;
    if (MeanMotion < 0.00826 || MeanMotion > 0.00924 || Eccentricity < 0.5)
        return TResonance::None;
    return TResonance::TwelveHour;
}

TTwelveHourG TwelveHourGFunctions(double Eccentricity)
{
    const double e = Eccentricity;
    const double e2 = e * e;
    const double e3 = e * e2;
    const bool low = e <= 0.65;
    const bool lowSecond = e < 0.7;
    auto pick = [&](const TFitPair& Fit, bool Low) { return (Low ? Fit.Low : Fit.High).At(e, e2, e3); };

    TTwelveHourG g;
    g.G201 = -0.306 - (e - 0.64) * 0.44;
    g.G211 = pick(G211Fit, low);
    g.G310 = pick(G310Fit, low);
    g.G322 = pick(G322Fit, low);
    g.G410 = pick(G410Fit, low);
    g.G422 = pick(G422Fit, low);
    g.G520 = low ? G520Low.At(e, e2, e3) : pick(G520High, e <= 0.715);
    g.G533 = pick(G533Fit, lowSecond);
    g.G521 = pick(G521Fit, lowSecond);
    g.G532 = pick(G532Fit, lowSecond);
    return g;
}

} // namespace elsetry
