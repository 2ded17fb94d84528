#define ORVEX_ISA avx512
#include "tone/mono_lut_kernels_impl.h"
