#define ORVEX_ISA avx512
#include "opcodes/bad_pixels_kernels_impl.h"
