#define ORVEX_ISA baseline
#include "opcodes/vignette_kernels.inl"
