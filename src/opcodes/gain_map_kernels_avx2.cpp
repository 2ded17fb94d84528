#define ORVEX_ISA avx2
#include "opcodes/gain_map_kernels_impl.h"
