#define ORVEX_ISA baseline
#include "raw/demosaic_kernels.inl"
