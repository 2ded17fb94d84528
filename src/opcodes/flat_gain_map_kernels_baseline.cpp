#define ORVEX_ISA baseline
#include "opcodes/flat_gain_map_kernels_impl.h"
