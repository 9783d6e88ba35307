#pragma once
// Element sets built from chosen elements, propagation in kilometres, and a view of the
// model's private state.

#include "elements/Satellite.h"

#include <cmath>
#include <cstdio>
#include <string>
#include <utility>

namespace elsetry {

struct TElements {
    int Catalogue = 90001;
    double Epoch = 6001.5;          // YYDDD.DDDDDDDD
    std::string Bstar = " 00000-0"; // columns 54-61 as written
    double Inclination = 0.0;       // degrees
    double Node = 0.0;              // degrees
    double Eccentricity = 0.0;
    double Perigee = 0.0;     // degrees
    double MeanAnomaly = 0.0; // degrees
    double MeanMotion = 0.0;  // revolutions per day
    int Revolution = 100;
};

inline std::pair<std::string, std::string> ElementLines(const TElements& E)
{
    char l1[80];
    char l2[80];
    std::snprintf(l1, sizeof l1, "1 %05dU 06001A   %014.8f  .00000000  00000-0 %8s 0  9990", E.Catalogue, E.Epoch,
                  E.Bstar.c_str());
    std::snprintf(l2, sizeof l2, "2 %05d %8.4f %8.4f %07ld %8.4f %8.4f %11.8f%5d0", E.Catalogue, E.Inclination, E.Node,
                  std::lround(E.Eccentricity * 1.0e7), E.Perigee, E.MeanAnomaly, E.MeanMotion, E.Revolution);
    return {l1, l2};
}

inline void Parse(TSatellite& S, const TElements& E)
{
    const auto [l1, l2] = ElementLines(E);
    S.ParseElements(l1, l2);
}

struct TOrbitModelProbe {
    static TDeepSpaceState& Deep(TOrbitModel& S) { return *S.Deep; }
    static const TNearEarthState& NearEarth(const TOrbitModel& S) { return S.NearEarth; }
    static void Periodic(TOrbitModel& S, double T, double& E, double& I, double& Omega, double& Node, double& M)
    {
        S.Deep->Time = T;
        S.DeepSpacePeriodic(E, I, Omega, Node, M);
    }
    static void Secular(TOrbitModel& S, double T, double& M, double& Omega, double& Node, double& E, double& I,
                        double& N)
    {
        S.DeepSpaceSecular(M, Omega, Node, E, I, N, T);
    }
};

struct TState {
    double R[3]; // km
    double V[3]; // km/s
};

// Through PropagateToTime with a Julian date, or with the minutes handed to the model unchanged.
inline TState PropagateKm(TSatellite& S, double Minutes, bool ThroughJulianDate = false)
{
    TState s{};
    if (ThroughJulianDate)
        S.PropagateToTime(s.R, s.V, S.EpochJulian + Minutes / 1440.0);
    else if (S.DeepSpace != 0)
        S.PropagateDeepSpace(s.R, s.V, Minutes);
    else
        S.PropagateNearEarth(s.R, s.V, Minutes);
    for (int k = 0; k < 3; ++k) {
        s.R[k] *= 6378.135;
        s.V[k] *= 6378.135 / 60.0;
    }
    return s;
}

inline double Distance(const double (&A)[3], const double (&B)[3])
{
    return std::hypot(A[0] - B[0], A[1] - B[1], A[2] - B[2]);
}

} // namespace elsetry
