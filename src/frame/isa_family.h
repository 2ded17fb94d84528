// The instruction-set namespaces of the kernel families, in Isa order. A
// family built by per-ISA translation units declares its function in each:
//   ORVEX_DECLARE_PER_ISA(ConvertKernel select_convert_kernel(uint32_t, uint32_t, bool))
// and the kernel table (frame/kernel_table.h) collects the builds with
//   ORVEX_PER_ISA_BUILDS(select_convert_kernel)
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

#define ORVEX_PER_ISA_BUILDS(name)                                                 \
    ::orvex::KernelBuilds<decltype(&::orvex::baseline::name)> {                    \
        { &::orvex::baseline::name, &::orvex::avx2::name, &::orvex::avx512::name } \
    }
