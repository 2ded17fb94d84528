#define ORVEX_ISA baseline
#include "opcodes/warp_kernels_impl.h"
