# Sources of the opcode subsystem: the area corrections of raw-file opcode
# lists.
set(orvex_sources
    area_gain_map.cpp
    bad_pixels.cpp
    flat_gain_map.cpp
    gain_map.cpp
    normalising_radius.cpp
    polynomial_map.cpp
    vignette.cpp
    warp_cubic_table.cpp
    warp_rectilinear.cpp)
set(orvex_kernel_families
    bad_pixels_kernels
    flat_gain_map_kernels
    gain_map_kernels
    polynomial_map_kernels
    vignette_kernels
    warp_kernels)
