#define ORVEX_ISA avx2
#include "tone/profile_gain_table_kernels_impl.h"
