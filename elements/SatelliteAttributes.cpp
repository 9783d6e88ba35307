#include "elements/SatelliteAttributes.h"

#include "elements/Satellite.h"

#include <string_view>

namespace elsetry {

namespace {

bool StartsWith(std::string_view Text, std::string_view Prefix)
{
    // The first letter settles most tests without a comparison call.
    return !Text.empty() && Text.front() == Prefix.front() && Text.starts_with(Prefix);
}

// The second digit of a two-digit NOAA number, "A" for catalogue number 29499, else a blank.
char SeriesCharacter(const TSatellite& S)
{
    char series = ' ';
    if (StartsWith(S.Name, "NOAA1") && S.Name.size() >= 6)
        series = S.Name[5];
    if ((StartsWith(S.Name, "NOAA 1") || StartsWith(S.Name, "NOAA-1")) && S.Name.size() >= 7)
        series = S.Name[6];
    if (S.CatalogueNumber == "29499")
        series = 'A';
    return series;
}

TSatelliteKind KindOf(const TSatellite& S, char Series)
{
    using enum TSatelliteKind;
    struct TNameKind {
        std::string_view Prefix;
        TSatelliteKind Kind;
    };
    static constexpr TNameKind byName[] = {
        {"FENGYUN 1C", NoaaLike},    {"FENGYUN 1D", NoaaLike},    {"RESURS", Resurs},
        {"METEOR 3-5", Meteor3_5},   {"METEOR 3/5", Meteor3_5},   {"METEOR 2-21", Meteor2_21},
        {"METEOR 2/21", Meteor2_21}, {"OKEAN", Okean},            {"ISS", Iss},
        {"GPS", Gps},
    };
    TSatelliteKind kind = Series != ' ' ? NoaaLike : Other;
    for (const TNameKind& row : byName)
        if (StartsWith(S.Name, row.Prefix))
            kind = row.Kind;
    if (S.CatalogueNumber == "26953")
        kind = Catalogue26953;
    if (S.CatalogueNumber == "25260")
        kind = Catalogue25260;
    return kind;
}

double FrequencyOf(char Series, TSatelliteKind Kind)
{
    switch (Series) {
    case '2': case '5': return 137.5;
    case '4': case '6': case '7': return 137.62;
    case '8': return 137.91;
    case 'A': return 137.1;
    default: break;
    }
    switch (Kind) {
    case TSatelliteKind::Resurs: return 137.85;
    case TSatelliteKind::Meteor3_5: return 137.3;
    case TSatelliteKind::Meteor2_21: case TSatelliteKind::Okean: return 137.4;
    default: return 0.0;
    }
}

} // namespace

void ApplyDefaultAttributes(TSatellite& S)
{
    S.SignedValue = 33.5;
    S.DownlinkFrequency = 0.0;
    S.LdDateJulian = 0.0;
    S.Notes = {};
    S.LineRate = 120;
    S.SatelliteKind = TSatelliteKind::Other;
    S.NoaaSeries = false;
    S.HalfAngle = 45.0;

    const char series = SeriesCharacter(S);
    if (series != ' ') {
        S.HalfAngle = 55.37;
        S.NoaaSeries = true;
    }
    if (S.Name == "METEOR 3-5" || S.Name == "MET-3/5")
        S.HalfAngle = 36.0;
    if (StartsWith(S.Name, "OKEAN") || StartsWith(S.Name, "SICH"))
        S.LineRate = 240;
    if (StartsWith(S.Name, "GPS")) {
        S.LineRate = 20;
        S.HalfAngle = 0.01;
    }
    if (StartsWith(S.Name, "ISS"))
        S.HalfAngle = 68.0;

    S.SatelliteKind = KindOf(S, series);
    if (S.CatalogueNumber == "26953" || S.CatalogueNumber == "25260")
        S.HalfAngle = 30.0;
    if (S.CatalogueNumber == "27453")
        S.HalfAngle = 45.55;
    S.DownlinkFrequency = FrequencyOf(series, S.SatelliteKind);
}

} // namespace elsetry
