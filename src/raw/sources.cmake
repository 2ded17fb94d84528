# Sources of the raw subsystem: normalisation and demosaicing.
set(orvex_sources demosaic.cpp normalize_general.cpp normalize_raw.cpp)
set(orvex_kernel_families normalize_kernels)
# The bilinear demosaic has no AVX-512 build; frame/kernel_table.h says why.
list(APPEND orvex_sources demosaic_kernels_baseline.cpp demosaic_kernels_avx2.cpp)
