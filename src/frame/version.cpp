#include "orvex.h"

extern "C" ORVEX_API const char* orvex_version(void) { return "1.0.0"; }
