#include "elements/SatelliteStore.h"

#include <gtest/gtest.h>

#include <set>

using namespace elsetry;

TEST(SatelliteStoreTest, ReleasedSlotsComeBackEmpty)
{
    TSatelliteStore store;
    TSatellite& first = store.Acquire();
    TSatellite& second = store.Acquire();
    first.Name = "FIRST";
    first.Line1 = std::string(69, '1');
    store.Release(first);
    TSatellite& third = store.Acquire();
    EXPECT_EQ(&third, &first);
    EXPECT_EQ(third.Name, "");
    EXPECT_EQ(third.Line1, "");
    EXPECT_NE(&third, &second);
}

TEST(SatelliteStoreTest, SatellitesNeverMoveAsTheStoreGrows)
{
    TSatelliteStore store;
    std::set<TSatellite*> seen;
    TSatellite& early = store.Acquire();
    early.Name = "EARLY";
    for (int i = 0; i < 5000; ++i)
        seen.insert(&store.Acquire());
    EXPECT_EQ(seen.size(), 5000u);
    EXPECT_EQ(seen.count(&early), 0u);
    EXPECT_EQ(early.Name, "EARLY");
}
