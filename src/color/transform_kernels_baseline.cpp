#define ORVEX_ISA baseline
#include "color/transform_kernels_impl.h"
