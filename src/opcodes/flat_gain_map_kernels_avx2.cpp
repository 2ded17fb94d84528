#define ORVEX_ISA avx2
#include "opcodes/flat_gain_map_kernels_impl.h"
