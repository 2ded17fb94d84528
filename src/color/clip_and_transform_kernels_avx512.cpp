#define ORVEX_ISA avx512
#include "color/clip_and_transform_kernels_impl.h"
