#define ORVEX_ISA avx2
#include "raw/demosaic_kernels_impl.h"
