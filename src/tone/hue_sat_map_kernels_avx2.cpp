#define ORVEX_ISA avx2
#include "tone/hue_sat_map_kernels_impl.h"
