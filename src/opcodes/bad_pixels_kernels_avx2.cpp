#define ORVEX_ISA avx2
#include "opcodes/bad_pixels_kernels_impl.h"
