#define ORVEX_ISA avx2
#include "raw/normalize_kernels_impl.h"
