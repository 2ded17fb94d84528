#define ORVEX_ISA avx512
#include "opcodes/warp_kernels_impl.h"
