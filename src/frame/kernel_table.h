// The kernel table: every kernel family and the build of it that runs under
// each instruction set. Entry points call kernels through it, as
//   kernel_table::convert.active()(...)
// An entry is either the kernel itself or a select_*_kernel function that
// picks, by its arguments, one kernel of the family. A new instruction set
// is added to Isa and its probe (frame/isa.h, isa.cpp), to the namespaces of
// frame/isa_family.h, to ORVEX_ISAS and its flags in cmake/, and to the
// exception below; the entry points and this table's other lines stay.
//
// Each entry is an inline constant, so a program references only the kernels
// of the entries it uses (a subsystem's tests link that subsystem alone).
#pragma once

#include "color/clip_and_transform_kernels.h"
#include "color/transform_kernels.h"
#include "frame/convert_kernels.h"
#include "frame/isa.h"
#include "frame/isa_family.h"
#include "opcodes/bad_pixels_kernels.h"
#include "opcodes/flat_gain_map_kernels.h"
#include "opcodes/gain_map_kernels.h"
#include "opcodes/polynomial_map_kernels.h"
#include "opcodes/vignette_kernels.h"
#include "opcodes/warp_kernels.h"
#include "raw/demosaic_kernels.h"
#include "raw/normalize_kernels.h"
#include "tone/exposure_ramp_kernels.h"
#include "tone/hue_sat_map_kernels.h"
#include "tone/mono_lut_kernels.h"
#include "tone/profile_gain_table_kernels.h"

namespace orvex::kernel_table {

inline constexpr auto convert = ORVEX_PER_ISA_BUILDS(select_convert_kernel);

inline constexpr auto fast_normalize = ORVEX_PER_ISA_BUILDS(select_fast_normalize_kernel);
inline constexpr auto general_normalize_row = ORVEX_PER_ISA_BUILDS(select_general_normalize_row);
inline constexpr auto general_normalize_table_row = ORVEX_PER_ISA_BUILDS(normalize_general_table_row);
// The one exception: AVX-512 CPUs run the AVX2 build of the bilinear
// demosaic, and there is no AVX-512 build. Measured on full-size mosaics the
// 256-bit kernel is faster there, as 512-bit loads at the three column
// offsets split a cache line on nearly every step.
inline constexpr KernelBuilds<DemosaicKernel> bilinear_demosaic{
    {&baseline::bilinear_demosaic, &avx2::bilinear_demosaic, &avx2::bilinear_demosaic}};

inline constexpr auto transform = ORVEX_PER_ISA_BUILDS(select_transform_kernel);
inline constexpr auto clip_and_transform = ORVEX_PER_ISA_BUILDS(clip_and_transform);

inline constexpr auto hue_sat = ORVEX_PER_ISA_BUILDS(select_hue_sat_kernel);
inline constexpr auto exposure_ramp = ORVEX_PER_ISA_BUILDS(exposure_ramp);
inline constexpr auto mono_lut = ORVEX_PER_ISA_BUILDS(select_mono_lut_kernel);
inline constexpr auto gain_row = ORVEX_PER_ISA_BUILDS(apply_gain_row);

inline constexpr auto fill_ramp = ORVEX_PER_ISA_BUILDS(select_fill_ramp_kernel);
inline constexpr auto apply_gains = ORVEX_PER_ISA_BUILDS(apply_gains);
inline constexpr auto flat_run = ORVEX_PER_ISA_BUILDS(flat_run);
inline constexpr auto vignette = ORVEX_PER_ISA_BUILDS(select_vignette_kernel);
inline constexpr auto warp = ORVEX_PER_ISA_BUILDS(warp_image);
inline constexpr auto polynomial_run = ORVEX_PER_ISA_BUILDS(select_polynomial_run_kernel);
inline constexpr auto fix_bad_pixels = ORVEX_PER_ISA_BUILDS(fix_bad_pixels);

}  // namespace orvex::kernel_table
