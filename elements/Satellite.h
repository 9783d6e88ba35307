#pragma once
// One satellite's two-line element set, its attributes and its orbit model.

#include "elements/SatelliteModelState.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace elsetry {

class TSatellite {
public:
    TSatellite();
    ~TSatellite();
    TSatellite(const TSatellite&) = delete;
    TSatellite& operator=(const TSatellite&) = delete;

    // Element fields, in model units once ParseElements has run.
    std::string CatalogueNumber;  // line 1 columns 3-7 as written, upper-cased
    std::string ElementSetNumber; // three digits
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
    double RevolutionNumber = 0.0;
    double EpochYearDay = 0.0;    // YYDDD.DDDDDDDD as written
    std::string Line1;
    std::string Line2;
    int ModelInitPending = 0;

    // Set by the list that holds the satellite.
    std::string Name;
    std::string SourceFileName;

    // Downlink attributes, from the name table and the notes file.
    double SignedValue = 0.0;
    double DownlinkFrequency = 0.0; // MHz
    double LdDateJulian = 0.0;
    std::string Notes;
    std::int32_t LineRate = 0;
    std::uint8_t SatelliteKind = 0;
    bool NoaaSeries = false;
    double HalfAngle = 0.0;

    // Orbit model flags and output.
    int SimpleDrag = 0;
    int Resonant = 0;
    int Synchronous = 0;
    double ArgumentOfLatitude = 0.0; // rad, of the latest propagation

    // Decodes the two element lines; raises EMathError for an unusable mean motion.
    void ParseElements(std::string_view FirstLine, std::string_view SecondLine);

    // Position in earth radii, velocity in earth radii per minute; Time is a Julian date.
    void PropagateToTime(double (&Position)[3], double (&Velocity)[3], double Time);
    void PropagateNearEarth(double (&Position)[3], double (&Velocity)[3], double MinutesSinceEpoch);
    void PropagateDeepSpace(double (&Position)[3], double (&Velocity)[3], double MinutesSinceEpoch);

    // The list propagates each new satellite to its own epoch: an argument of latitude in the
    // southern half there means the revolution at epoch has begun, so its number is raised by 1.
    void PropagateToOwnEpoch();

private:
    // Tests observe the model's state through this.
    friend struct TSatelliteModelProbe;

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
    std::unique_ptr<TDeepSpaceState> Deep; // allocated for deep-space sets only
};

} // namespace elsetry
