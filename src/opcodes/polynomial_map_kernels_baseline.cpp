#define ORVEX_ISA baseline
#include "opcodes/polynomial_map_kernels_impl.h"
