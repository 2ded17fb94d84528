#define ORVEX_ISA avx512
#include "frame/convert_kernels_impl.h"
