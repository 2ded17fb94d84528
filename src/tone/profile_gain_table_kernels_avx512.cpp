#define ORVEX_ISA avx512
#include "tone/profile_gain_table_kernels_impl.h"
