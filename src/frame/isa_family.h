// Declares one function in each instruction-set namespace, for kernel
// families built by per-ISA translation units:
//   ORVEX_DECLARE_PER_ISA(ConvertKernel select_convert_kernel(uint32_t, uint32_t, bool))
#pragma once

#define ORVEX_DECLARE_PER_ISA(declaration) \
    namespace baseline {                   \
    declaration;                           \
    }                                      \
    namespace avx2 {                       \
    declaration;                           \
    }                                      \
    namespace avx512 {                     \
    declaration;                           \
    }
