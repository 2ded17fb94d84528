#define ORVEX_ISA avx2
#include "opcodes/warp_kernels.inl"
