#include "elements/Satellite.h"
