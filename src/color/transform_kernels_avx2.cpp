#define ORVEX_ISA avx2
#include "color/transform_kernels_impl.h"
