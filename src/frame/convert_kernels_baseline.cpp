#define ORVEX_ISA baseline
#include "frame/convert_kernels_impl.h"
