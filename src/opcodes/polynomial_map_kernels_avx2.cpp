#define ORVEX_ISA avx2
#include "opcodes/polynomial_map_kernels_impl.h"
