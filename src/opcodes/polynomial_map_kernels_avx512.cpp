#define ORVEX_ISA avx512
#include "opcodes/polynomial_map_kernels_impl.h"
