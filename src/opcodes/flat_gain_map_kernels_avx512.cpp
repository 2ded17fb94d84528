#define ORVEX_ISA avx512
#include "opcodes/flat_gain_map_kernels_impl.h"
