#define ORVEX_ISA baseline
#include "tone/hue_sat_map_kernels_impl.h"
