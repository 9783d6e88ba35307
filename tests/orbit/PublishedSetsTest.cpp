// The two element sets published with the models, loaded through the element list, against the
// positions and velocities printed with them.

#include "OrbitTestSupport.h"
#include "elements/SatelliteList.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace elsetry {
namespace {

// The sets and results are kept in tests/orbit/data (see the README there).
const std::string TestData = ELSETRY_ORBIT_TESTDATA;

// A missing data file fails the test by name rather than as an empty list.
std::string DataFile(const char* Name)
{
    const std::string path = TestData + "/" + Name;
    if (!std::filesystem::is_regular_file(path))
        ADD_FAILURE() << "Test data not found: " << path;
    return path;
}

struct TPrintedResult {
    std::string Catalogue;
    double Minutes;
    double R[3];
    double V[3];
};

std::vector<TPrintedResult> ReadPrintedResults()
{
    std::ifstream in(DataFile("orbit-test-results.csv"));
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
    list.LoadFromFile(DataFile("orbit-test-sets.txt"));
    ASSERT_EQ(list.Count(), 2);
    EXPECT_EQ(list.GetSatellite(list.IndexOfCatalogueNumber("88888"))->DeepSpace, 0);
    EXPECT_EQ(list.GetSatellite(list.IndexOfCatalogueNumber("11801"))->DeepSpace, 1);

    const std::vector<TPrintedResult> printed = ReadPrintedResults();
    ASSERT_EQ(printed.size(), 10u);
    for (const TPrintedResult& p : printed) {
        SCOPED_TRACE(p.Catalogue + " at " + std::to_string(p.Minutes));
        const int index = list.IndexOfCatalogueNumber(p.Catalogue);
        ASSERT_GE(index, 0);
        const TState s = PropagateKm(*list.GetSatellite(index), p.Minutes, true);
        EXPECT_LT(Distance(s.R, p.R), 0.012);
        EXPECT_LT(Distance(s.V, p.V), 0.000013);
    }
}

// The angle from the ascending node to the position, in the plane of position and velocity.
double ArgumentOfLatitudeOf(const double (&R)[3], const double (&V)[3])
{
    const double h[3] = {R[1] * V[2] - R[2] * V[1], R[2] * V[0] - R[0] * V[2], R[0] * V[1] - R[1] * V[0]};
    const double node[3] = {-h[1], h[0], 0.0}; // z x h
    const double hLength = std::hypot(h[0], h[1], h[2]);
    // (h x node) / |h|: the in-plane direction 90 degrees past the node.
    const double ahead[3] = {(h[1] * node[2] - h[2] * node[1]) / hLength, (h[2] * node[0] - h[0] * node[2]) / hLength,
                             (h[0] * node[1] - h[1] * node[0]) / hLength};
    const double u = std::atan2(R[0] * ahead[0] + R[1] * ahead[1] + R[2] * ahead[2], R[0] * node[0] + R[1] * node[1]);
    return u < 0.0 ? u + 2.0 * 3.141592653589793 : u;
}

TEST(PublishedSets, ArgumentOfLatitudeAtLoadIsThatOfThePrintedState)
{
    TSatelliteList list;
    list.LoadFromFile(DataFile("orbit-test-sets.txt"));
    ASSERT_EQ(list.Count(), 2);
    for (const TPrintedResult& p : ReadPrintedResults()) {
        if (p.Minutes != 0.0)
            continue;
        const int index = list.IndexOfCatalogueNumber(p.Catalogue);
        ASSERT_GE(index, 0) << p.Catalogue;
        const TSatellite& s = *list.GetSatellite(index);
        EXPECT_NEAR(s.ArgumentOfLatitude, ArgumentOfLatitudeOf(p.R, p.V), 1.0e-5) << p.Catalogue;
    }
    // Both are in the northern half at epoch, so both keep their numbers.
    EXPECT_EQ(list.GetSatellite(list.IndexOfCatalogueNumber("88888"))->RevolutionNumber, 105.0);
    EXPECT_EQ(list.GetSatellite(list.IndexOfCatalogueNumber("11801"))->RevolutionNumber, 1.0);
}

} // namespace
} // namespace elsetry
