#pragma once
// Earth-gravity resonance of deep-space orbits: which case applies, and the eccentricity
// functions of the 12-hour case.

namespace elsetry {

enum class TResonance { None, TwelveHour, Synchronous };

// From the corrected mean motion (rad/min) and the eccentricity at epoch: periods strictly
// between 1200 and 1800 minutes are synchronous; mean motions in [0.00826, 0.00924] with an
// eccentricity of at least 0.5 are 12-hour resonant.
TResonance ResonanceOf(double MeanMotion, double Eccentricity);

// Eccentricity functions G of the 12-hour case.
struct TTwelveHourG {
    double G201 = 0.0;
    double G211 = 0.0;
    double G310 = 0.0;
    double G322 = 0.0;
    double G410 = 0.0;
    double G422 = 0.0;
    double G520 = 0.0;
    double G521 = 0.0;
    double G532 = 0.0;
    double G533 = 0.0;
};

TTwelveHourG TwelveHourGFunctions(double Eccentricity);

} // namespace elsetry
