#define ORVEX_ISA avx2
#include "frame/convert_kernels_impl.h"
