#include "orbit/SGP_Time.h"
