#define ORVEX_ISA avx512
#include "opcodes/gain_map_kernels_impl.h"
