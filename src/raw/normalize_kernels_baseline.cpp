#define ORVEX_ISA baseline
#include "raw/normalize_kernels_impl.h"
