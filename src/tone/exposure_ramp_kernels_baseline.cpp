#define ORVEX_ISA baseline
#include "tone/exposure_ramp_kernels_impl.h"
