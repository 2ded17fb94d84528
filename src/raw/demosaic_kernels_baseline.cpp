#define ORVEX_ISA baseline
#include "raw/demosaic_kernels_impl.h"
