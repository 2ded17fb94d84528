#define ORVEX_ISA avx512
#include "opcodes/vignette_kernels_impl.h"
