# Sources of the colour subsystem: the colour transform and the clipping one.
set(orvex_sources clip_and_transform.cpp transform_color.cpp transform_selection.cpp)
set(orvex_kernel_families clip_and_transform_kernels transform_kernels)
