#define ORVEX_ISA baseline
#include "color/clip_and_transform_kernels_impl.h"
