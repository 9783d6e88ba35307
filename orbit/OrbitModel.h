#pragma once
// The SGP4/SDP4 orbit model of one element set, as published in Spacetrack Report No. 3 (Hoots and
// Roehrich, 1980): the mean elements in model units, the model's choice and its state, and
// propagation to a time.

#include "orbit/ModelState.h"

#include <memory>

namespace elsetry {

class TOrbitModel {
public:
    TOrbitModel();
    ~TOrbitModel();
    TOrbitModel(const TOrbitModel&) = delete;
    TOrbitModel& operator=(const TOrbitModel&) = delete;

    // Mean elements in model units, set by whoever decodes the element set.
    int DeepSpace = 0;            // 1: deep-space model
    double MeanAnomaly = 0.0;     // rad
    double AscendingNode = 0.0;   // rad
    double ArgumentOfPerigee = 0.0; // rad
    double Eccentricity = 0.0;
    double Inclination = 0.0;     // rad
    double MeanMotion = 0.0;      // rad/min, as published
    double MeanMotionDotOver2 = 0.0;  // rad/min^2
    double MeanMotionDDotOver6 = 0.0; // rad/min^3
    double DragTerm = 0.0;        // B*, per earth radius
    double EpochJulian = 0.0;     // days
    double EpochYearDay = 0.0;    // YYDDD.DDDDDDDD as written
    int ModelInitPending = 0;

    // Orbit model flags and output.
    int SimpleDrag = 0;
    int Resonant = 0;
    int Synchronous = 0;
    double ArgumentOfLatitude = 0.0; // rad, of the latest propagation

    // Chooses the model from the period and asks for its initialisation on the next propagation;
    // raises EMathError for an unusable mean motion.
    void ChooseModel();

    // Room for the deep-space state, newly made, from whoever holds many models and keeps their
    // states in large blocks (a list does). A model given none makes its own when it first
    // needs one.
    void UseDeepSpaceState(TDeepSpaceState& State) { Deep = &State; }

    // Position in earth radii, velocity in earth radii per minute; Time is a Julian date.
    void PropagateToTime(double (&Position)[3], double (&Velocity)[3], double Time);
    void PropagateNearEarth(double (&Position)[3], double (&Velocity)[3], double MinutesSinceEpoch);
    void PropagateDeepSpace(double (&Position)[3], double (&Velocity)[3], double MinutesSinceEpoch);

private:
    // Tests observe the model's state through this.
    friend struct TOrbitModelProbe;

    TModelInitTerms InitialiseCommonModel();
    void InitialiseNearEarth();
    void InitialiseDeepSpace();
    // Long-period and short-period terms, Kepler's equation and orientation; sets ArgumentOfLatitude.
    void FinishPropagation(const TMeanElements& Mean, double (&Position)[3], double (&Velocity)[3]);

    void InitialiseResonance();
    void IntegrateResonance(double& Xll, double Omgasm, double Xnodes, double& Xn, double T);

    void DeepSpaceInit(double Eosq, double Sinio, double Cosio, double Betao, double Aodp, double Theta2,
                       double Sing, double Cosg, double Betao2, double Xmdot, double Omgdot, double Xnodot,
                       double Xnodp);
    void DeepSpaceSecular(double& Xll, double& Omgasm, double& Xnodes, double& Em, double& Xinc,
                          double& Xn, double T);
    void DeepSpacePeriodic(double& Em, double& Xinc, double& Omgasm, double& Xnodes, double& Xll);

    TNearEarthState NearEarth{};
    TDeepSpaceState* Deep = nullptr; // for deep-space sets only
    std::unique_ptr<TDeepSpaceState> OwnDeep;
};

} // namespace elsetry
