#define ORVEX_ISA avx2
#include "color/clip_and_transform_kernels_impl.h"
