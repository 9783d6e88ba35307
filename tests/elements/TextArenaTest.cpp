#include "elements/TextArena.h"

#include <gtest/gtest.h>
