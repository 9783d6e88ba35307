// The two element sets published with the models, loaded through the element list, against the
// positions and velocities printed with them.

#include "OrbitTestSupport.h"
#include "elements/SatelliteList.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace elsetry {
namespace {

const std::string TestData = ELSETRY_SHARED_TESTDATA;

struct TPrintedResult {
    std::string Catalogue;
    double Minutes;
    double R[3];
    double V[3];
};

std::vector<TPrintedResult> ReadPrintedResults()
{
    std::ifstream in(TestData + "/orbit-test-results.csv");
    std::vector<TPrintedResult> rows;
    std::string line;
    std::getline(in, line); // header
    while (std::getline(in, line)) {
        std::replace(line.begin(), line.end(), ',', ' ');
        std::istringstream fields(line);
        TPrintedResult r{};
        fields >> r.Catalogue >> r.Minutes >> r.R[0] >> r.R[1] >> r.R[2] >> r.V[0] >> r.V[1] >> r.V[2];
        if (fields)
            rows.push_back(r);
    }
    return rows;
}

TEST(PublishedSets, LoadedThroughTheListMatchThePrintedResults)
{
    TSatelliteList list;
    list.LoadFromFile(TestData + "/orbit-test-sets.txt");
    ASSERT_EQ(list.Count(), 2);
    EXPECT_EQ(list.GetSatellite(list.IndexOfCatalogueNumber("88888"))->DeepSpace, 0);
    EXPECT_EQ(list.GetSatellite(list.IndexOfCatalogueNumber("11801"))->DeepSpace, 1);

    const std::vector<TPrintedResult> printed = ReadPrintedResults();
    ASSERT_EQ(printed.size(), 10u);
    for (const TPrintedResult& p : printed) {
        SCOPED_TRACE(p.Catalogue + " at " + std::to_string(p.Minutes));
        const int index = list.IndexOfCatalogueNumber(p.Catalogue);
        ASSERT_GE(index, 0);
        const TState s = PropagateKm(*list.GetSatellite(index), p.Minutes);
        EXPECT_LT(Distance(s.R, p.R), 0.012);
        EXPECT_LT(Distance(s.V, p.V), 0.000013);
    }
}

TEST(PublishedSets, RevolutionNumbersFollowTheArgumentOfLatitudeAtEpoch)
{
    TSatelliteList list;
    list.LoadFromFile(TestData + "/orbit-test-sets.txt");
    for (const char* number : {"88888", "11801"}) {
        const TSatellite& s = *list.GetSatellite(list.IndexOfCatalogueNumber(number));
        SCOPED_TRACE(number);
        EXPECT_GE(s.ArgumentOfLatitude, 0.0);
        EXPECT_LT(s.ArgumentOfLatitude, 2.0 * 3.141592653589793);
    }
    // 88888 is at u = 2.84 rad at epoch (northern half), 11801 at u = 1.15 rad: both keep their numbers.
    EXPECT_EQ(list.GetSatellite(list.IndexOfCatalogueNumber("88888"))->RevolutionNumber, 105.0);
    EXPECT_EQ(list.GetSatellite(list.IndexOfCatalogueNumber("11801"))->RevolutionNumber, 1.0);
}

} // namespace
} // namespace elsetry
