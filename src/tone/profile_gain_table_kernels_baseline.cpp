#define ORVEX_ISA baseline
#include "tone/profile_gain_table_kernels_impl.h"
