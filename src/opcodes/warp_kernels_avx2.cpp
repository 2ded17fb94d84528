#define ORVEX_ISA avx2
#include "opcodes/warp_kernels_impl.h"
