#include "elements/SatelliteSetup.h"

#include <gtest/gtest.h>
