#pragma once
// The fields of an element set in the Orbit Mean-Elements Message form that the readers take, by
// the names the services give them.

#include "elements/OmmRecord.h"

#include <array>
#include <optional>
#include <string_view>

namespace elsetry {

struct TOmmField {
    std::string_view Name;
    std::string TOmmRecord::*Member;
    // A set cannot be written without it. The others are written as zero when left out (the
    // classification as "U", the designator as blanks).
    bool Required;
};

inline constexpr std::array<TOmmField, 17> OmmFields{{
    {"OBJECT_NAME", &TOmmRecord::ObjectName, true},
    {"OBJECT_ID", &TOmmRecord::ObjectId, false},
    {"EPOCH", &TOmmRecord::Epoch, true},
    {"MEAN_MOTION", &TOmmRecord::MeanMotion, true},
    {"ECCENTRICITY", &TOmmRecord::Eccentricity, true},
    {"INCLINATION", &TOmmRecord::Inclination, true},
    {"RA_OF_ASC_NODE", &TOmmRecord::RaOfAscNode, true},
    {"ARG_OF_PERICENTER", &TOmmRecord::ArgOfPericenter, true},
    {"MEAN_ANOMALY", &TOmmRecord::MeanAnomaly, true},
    {"EPHEMERIS_TYPE", &TOmmRecord::EphemerisType, false},
    {"CLASSIFICATION_TYPE", &TOmmRecord::ClassificationType, false},
    {"NORAD_CAT_ID", &TOmmRecord::NoradCatId, true},
    {"ELEMENT_SET_NO", &TOmmRecord::ElementSetNo, false},
    {"REV_AT_EPOCH", &TOmmRecord::RevAtEpoch, false},
    {"BSTAR", &TOmmRecord::Bstar, false},
    {"MEAN_MOTION_DOT", &TOmmRecord::MeanMotionDot, false},
    {"MEAN_MOTION_DDOT", &TOmmRecord::MeanMotionDdot, false},
}};

// Fields written as texts in JSON; the others may be JSON numbers or strings.
inline bool IsTextField(const TOmmField& Field)
{
    return Field.Member == &TOmmRecord::ObjectName || Field.Member == &TOmmRecord::ObjectId
           || Field.Member == &TOmmRecord::Epoch || Field.Member == &TOmmRecord::ClassificationType;
}

// Position in OmmFields of the field named Name, letter case aside.
std::optional<std::size_t> OmmFieldIndex(std::string_view Name);

} // namespace elsetry
