#define ORVEX_ISA avx512
#include "raw/normalize_kernels_impl.h"
