#define ORVEX_ISA baseline
#include "opcodes/gain_map_kernels_impl.h"
