#define ORVEX_ISA avx2
#include "tone/mono_lut_kernels_impl.h"
