#define ORVEX_ISA avx512
#include "tone/hue_sat_map_kernels_impl.h"
