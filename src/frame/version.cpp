#include "orvex.h"
#include "orvex_version.h"

extern "C" ORVEX_API const char* orvex_version(void) { return ORVEX_VERSION_TEXT; }
