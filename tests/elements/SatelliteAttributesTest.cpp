#include "elements/SatelliteAttributes.h"

#include "elements/Satellite.h"

#include <gtest/gtest.h>

using namespace elsetry;

namespace {

struct TAttributeCase {
    const char* Name;
    const char* Number;
    bool NoaaSeries;
    double HalfAngle;
    TSatelliteKind Kind;
    double Frequency;
    int LineRate;
};

using K = TSatelliteKind;

class DefaultAttributesTest : public testing::TestWithParam<TAttributeCase> {};

TEST_P(DefaultAttributesTest, FollowTheNameAndNumberTable)
{
    const TAttributeCase& c = GetParam();
    TSatellite s;
    s.Name = c.Name;
    s.CatalogueNumber = c.Number;
    s.Notes = "left over";
    ApplyDefaultAttributes(s);
    EXPECT_EQ(s.NoaaSeries, c.NoaaSeries);
    EXPECT_DOUBLE_EQ(s.HalfAngle, c.HalfAngle);
    EXPECT_EQ(s.SatelliteKind, c.Kind);
    EXPECT_DOUBLE_EQ(s.DownlinkFrequency, c.Frequency);
    EXPECT_EQ(s.LineRate, c.LineRate);
    EXPECT_DOUBLE_EQ(s.SignedValue, 33.5);
    EXPECT_DOUBLE_EQ(s.LdDateJulian, 0.0);
    EXPECT_EQ(s.Notes, "");
}

INSTANTIATE_TEST_SUITE_P(
    Names, DefaultAttributesTest,
    testing::Values(TAttributeCase{"NOAA 18", "28654", true, 55.37, K::NoaaLike, 137.91, 120},
                    TAttributeCase{"NOAA 19", "33591", true, 55.37, K::NoaaLike, 0.0, 120},
                    TAttributeCase{"NOAA15", "25338", true, 55.37, K::NoaaLike, 137.5, 120},
                    TAttributeCase{"NOAA-12", "21263", true, 55.37, K::NoaaLike, 137.5, 120},
                    TAttributeCase{"NOAA 1", "11111", false, 45.0, K::Other, 0.0, 120}, // too short for a series digit
                    TAttributeCase{"METOP-A", "29499", true, 55.37, K::NoaaLike, 137.1, 120},
                    TAttributeCase{"NOAA 17", "27453", true, 45.55, K::NoaaLike, 137.62, 120},
                    TAttributeCase{"METEOR 3-5", "21655", false, 36.0, K::Meteor3_5, 137.3, 120},
                    TAttributeCase{"MET-3/5", "21655", false, 36.0, K::Other, 0.0, 120},
                    TAttributeCase{"METEOR 2-21", "22782", false, 45.0, K::Meteor2_21, 137.4, 120},
                    TAttributeCase{"RESURS-O1 4", "25394", false, 45.0, K::Resurs, 137.85, 120},
                    TAttributeCase{"OKEAN-O", "25860", false, 45.0, K::Okean, 137.4, 240},
                    TAttributeCase{"SICH-1M", "28505", false, 45.0, K::Other, 0.0, 240},
                    TAttributeCase{"GPS BIIR-2", "24876", false, 0.01, K::Gps, 0.0, 20},
                    TAttributeCase{"ISS (ZARYA)", "25544", false, 68.0, K::Iss, 0.0, 120},
                    TAttributeCase{"FENGYUN 1D", "27431", false, 45.0, K::NoaaLike, 0.0, 120},
                    TAttributeCase{"SOME SAT", "26953", false, 30.0, K::Catalogue26953, 0.0, 120},
                    TAttributeCase{"OTHER SAT", "25260", false, 30.0, K::Catalogue25260, 0.0, 120},
                    TAttributeCase{"STARLINK-1007", "44713", false, 45.0, K::Other, 0.0, 120}));

} // namespace
