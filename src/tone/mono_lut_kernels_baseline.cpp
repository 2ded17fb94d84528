#define ORVEX_ISA baseline
#include "tone/mono_lut_kernels_impl.h"
