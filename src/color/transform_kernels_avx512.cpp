#define ORVEX_ISA avx512
#include "color/transform_kernels_impl.h"
