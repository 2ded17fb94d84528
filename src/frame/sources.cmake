# Sources of the frame: descriptor checks, nominal maxima, version, the
# instruction-set probe, the correctly rounded power and the sample type
# conversion.
set(orvex_sources convert_dtype.cpp isa.cpp nominal_max.cpp power.cpp power_tables.cpp version.cpp)
set(orvex_kernel_families convert_kernels)
