#define ORVEX_ISA avx2
#include "opcodes/vignette_kernels_impl.h"
