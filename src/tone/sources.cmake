# Sources of the tone subsystem: hue/saturation map, exposure ramp, profile
# gain table and one-channel lookup table.
set(orvex_sources exposure_ramp.cpp exposure_ramp_curve.cpp hue_sat_map.cpp mono_lut.cpp profile_gain_table.cpp)
set(orvex_kernel_families exposure_ramp_kernels hue_sat_map_kernels mono_lut_kernels profile_gain_table_kernels)
