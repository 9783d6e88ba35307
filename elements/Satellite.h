#pragma once
// One satellite's two-line element set, its attributes, and the orbit model it carries.

#include "orbit/OrbitModel.h"

#include <cstdint>
#include <string_view>

namespace elsetry {

// The satellite families whose downlinks the default attributes know. The numbers stay as they
// are: "elsetry-tle dump --attributes" prints them.
enum class TSatelliteKind : std::uint8_t {
    Other = 0,
    NoaaLike = 1, // a NOAA, MetOp-A or FengYun 1C/1D
    Resurs = 2,
    Meteor3_5 = 3,
    Meteor2_21 = 4,
    Okean = 5,
    Iss = 6,
    Catalogue26953 = 7, // known by catalogue number only
    Catalogue25260 = 8, // known by catalogue number only
    Gps = 9,
};

class TSatellite : public TOrbitModel {
public:
    TSatellite();
    ~TSatellite();
    TSatellite(const TSatellite&) = delete;
    TSatellite& operator=(const TSatellite&) = delete;

    // Element fields as written; the mean elements in model units are the orbit model's. The
    // texts view lines and names the satellite's owner keeps in place (a list keeps them for as
    // long as it holds the satellite).
    std::string_view CatalogueNumber; // line 1 columns 3-7 as written
    char ElementSetNumber[4] = {};    // three digits and a terminating zero
    double RevolutionNumber = 0.0;
    std::string_view Line1;
    std::string_view Line2;

    // Set by the list that holds the satellite, with the hashes of the name and the catalogue
    // number it finds them by (KeyHash), worked out while the satellite is set up.
    std::string_view Name;
    std::string_view SourceFileName;
    std::uint64_t NameHash = 0;
    std::uint64_t CatalogueNumberHash = 0;

    // Downlink attributes, from the name table and the notes file.
    double SignedValue = 0.0;
    double DownlinkFrequency = 0.0; // MHz
    double LdDateJulian = 0.0;
    std::string_view Notes;
    std::int32_t LineRate = 0;
    TSatelliteKind SatelliteKind = TSatelliteKind::Other;
    bool NoaaSeries = false;
    double HalfAngle = 0.0;

    // Decodes the two element lines, which the satellite then views: they stay in place as long
    // as it is used, and are upper-cased already where the catalogue number and the lines are to
    // read upper-cased (the list sees to both). Raises EMathError for an unusable mean motion.
    void ParseElements(std::string_view FirstLine, std::string_view SecondLine);

    // The list propagates each new satellite to its own epoch: an argument of latitude in the
    // southern half there means the revolution at epoch has begun, so its number is raised by 1.
    void PropagateToOwnEpoch();
};

} // namespace elsetry
