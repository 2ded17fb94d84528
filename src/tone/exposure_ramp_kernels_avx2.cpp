#define ORVEX_ISA avx2
#include "tone/exposure_ramp_kernels_impl.h"
