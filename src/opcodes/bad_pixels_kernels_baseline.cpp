#define ORVEX_ISA baseline
#include "opcodes/bad_pixels_kernels_impl.h"
