#define ORVEX_ISA avx512
#include "tone/exposure_ramp_kernels_impl.h"
