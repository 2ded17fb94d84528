#define ORVEX_ISA avx2
#include "raw/normalize_kernels.inl"
