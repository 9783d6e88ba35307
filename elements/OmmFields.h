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
    std::string_view TOmmRecordView::*View; // the same field of a record's view
};

inline constexpr std::array<TOmmField, 17> OmmFields{{
    {"OBJECT_NAME", &TOmmRecord::ObjectName, true, &TOmmRecordView::ObjectName},
    {"OBJECT_ID", &TOmmRecord::ObjectId, false, &TOmmRecordView::ObjectId},
    {"EPOCH", &TOmmRecord::Epoch, true, &TOmmRecordView::Epoch},
    {"MEAN_MOTION", &TOmmRecord::MeanMotion, true, &TOmmRecordView::MeanMotion},
    {"ECCENTRICITY", &TOmmRecord::Eccentricity, true, &TOmmRecordView::Eccentricity},
    {"INCLINATION", &TOmmRecord::Inclination, true, &TOmmRecordView::Inclination},
    {"RA_OF_ASC_NODE", &TOmmRecord::RaOfAscNode, true, &TOmmRecordView::RaOfAscNode},
    {"ARG_OF_PERICENTER", &TOmmRecord::ArgOfPericenter, true, &TOmmRecordView::ArgOfPericenter},
    {"MEAN_ANOMALY", &TOmmRecord::MeanAnomaly, true, &TOmmRecordView::MeanAnomaly},
    {"EPHEMERIS_TYPE", &TOmmRecord::EphemerisType, false, &TOmmRecordView::EphemerisType},
    {"CLASSIFICATION_TYPE", &TOmmRecord::ClassificationType, false, &TOmmRecordView::ClassificationType},
    {"NORAD_CAT_ID", &TOmmRecord::NoradCatId, true, &TOmmRecordView::NoradCatId},
    {"ELEMENT_SET_NO", &TOmmRecord::ElementSetNo, false, &TOmmRecordView::ElementSetNo},
    {"REV_AT_EPOCH", &TOmmRecord::RevAtEpoch, false, &TOmmRecordView::RevAtEpoch},
    {"BSTAR", &TOmmRecord::Bstar, false, &TOmmRecordView::Bstar},
    {"MEAN_MOTION_DOT", &TOmmRecord::MeanMotionDot, false, &TOmmRecordView::MeanMotionDot},
    {"MEAN_MOTION_DDOT", &TOmmRecord::MeanMotionDdot, false, &TOmmRecordView::MeanMotionDdot},
}};

// The field in a record or its view.
inline std::string& FieldOf(TOmmRecord& Record, const TOmmField& Field)
{
    return Record.*Field.Member;
}
inline std::string_view& FieldOf(TOmmRecordView& Record, const TOmmField& Field)
{
    return Record.*Field.View;
}

// Fields written as texts in JSON; the others may be JSON numbers or strings.
inline bool IsTextField(const TOmmField& Field)
{
    return Field.Member == &TOmmRecord::ObjectName || Field.Member == &TOmmRecord::ObjectId
           || Field.Member == &TOmmRecord::Epoch || Field.Member == &TOmmRecord::ClassificationType;
}

// Position in OmmFields of the field named Name, letter case aside.
std::optional<std::size_t> OmmFieldIndex(std::string_view Name);

} // namespace elsetry
