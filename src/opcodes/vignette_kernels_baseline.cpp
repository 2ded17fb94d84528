#define ORVEX_ISA baseline
#include "opcodes/vignette_kernels_impl.h"
