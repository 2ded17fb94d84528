/* orvex: raw-development core with a flat C interface.
 *
 * Every function takes image descriptors first, then parameter arrays (each
 * followed by its element count where it has one), then scalars. Buffers
 * belong to the caller; the library keeps no pointer after a call returns.
 * Every function but orvex_version returns an orvex_status. */
#ifndef ORVEX_H
#define ORVEX_H

#include <stdbool.h>
#include <stddef.h>
#include <stdint.h>

#if defined(_WIN32)
#if defined(ORVEX_BUILDING_LIBRARY)
#define ORVEX_API __declspec(dllexport)
#elif defined(ORVEX_STATIC)
#define ORVEX_API
#else
#define ORVEX_API __declspec(dllimport)
#endif
#elif defined(ORVEX_BUILDING_LIBRARY)
#define ORVEX_API __attribute__((visibility("default")))
#else
#define ORVEX_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Image descriptor: rows without gaps, channels interleaved. The sample at
 * row r, column c, channel k has index (r * width + c) * channels + k. */
typedef struct orvex_image {
    void* data;
    uint64_t height;
    uint64_t width;
    uint64_t channels;
    uint32_t dtype; /* an orvex_dtype code */
    uint32_t alignment_gap;
    uint64_t reserved; /* must be 0 */
} orvex_image;

typedef enum orvex_dtype { ORVEX_DTYPE_UINT8 = 0, ORVEX_DTYPE_UINT16 = 1, ORVEX_DTYPE_FLOAT32 = 3 } orvex_dtype;

typedef int32_t orvex_status;
#define ORVEX_OK ((orvex_status)0)
#define ORVEX_ERR_INVALID_ARGUMENT ((orvex_status)1)
#define ORVEX_ERR_UNSUPPORTED ((orvex_status)2)
#define ORVEX_ERR_SHAPE_MISMATCH ((orvex_status)3)

#ifdef __cplusplus
#define ORVEX_STATIC_ASSERT(cond, msg) static_assert(cond, msg)
#define ORVEX_ALIGNOF(type) alignof(type)
#else
#define ORVEX_STATIC_ASSERT(cond, msg) _Static_assert(cond, msg)
#define ORVEX_ALIGNOF(type) _Alignof(type)
#endif
ORVEX_STATIC_ASSERT(sizeof(orvex_image) == 48, "orvex_image is 48 bytes");
ORVEX_STATIC_ASSERT(ORVEX_ALIGNOF(orvex_image) == 8, "orvex_image is 8-byte aligned");
ORVEX_STATIC_ASSERT(offsetof(orvex_image, data) == 0, "data at 0");
ORVEX_STATIC_ASSERT(offsetof(orvex_image, height) == 8, "height at 8");
ORVEX_STATIC_ASSERT(offsetof(orvex_image, width) == 16, "width at 16");
ORVEX_STATIC_ASSERT(offsetof(orvex_image, channels) == 24, "channels at 24");
ORVEX_STATIC_ASSERT(offsetof(orvex_image, dtype) == 32, "dtype at 32");
ORVEX_STATIC_ASSERT(offsetof(orvex_image, reserved) == 40, "reserved at 40");
ORVEX_STATIC_ASSERT(sizeof(bool) == 1, "flags are one byte");

/* The constant text "1.0.0"; never null, never to be freed. */
ORVEX_API const char* orvex_version(void);

ORVEX_API orvex_status orvex_convert_dtype(const orvex_image* src, const orvex_image* dst, int32_t src_bits,
                                           int32_t dst_bits, float clip_limit);

ORVEX_API orvex_status orvex_normalize_raw(const orvex_image* src, const orvex_image* dst, const float* black_level,
                                           int32_t black_level_rows, int32_t black_level_cols,
                                           int32_t channel_count, const float* white_level,
                                           int32_t white_level_count, const float* black_delta_h,
                                           int32_t black_delta_h_count, const float* black_delta_v,
                                           int32_t black_delta_v_count, const uint16_t* linearization_table,
                                           int32_t linearization_table_count);

ORVEX_API orvex_status orvex_bilinear_demosaic(const orvex_image* src, const orvex_image* dst,
                                               const uint32_t* cfa_pattern);

/* Not provided: returns ORVEX_ERR_UNSUPPORTED on every call. */
ORVEX_API orvex_status orvex_vng_demosaic(const orvex_image* src, const orvex_image* dst,
                                          const uint32_t* cfa_pattern);

ORVEX_API orvex_status orvex_transform_color(const orvex_image* src, const orvex_image* dst,
                                             const float* input_curve, uint64_t input_curve_len,
                                             const float* matrix, const float* output_curve,
                                             uint64_t output_curve_len, int32_t src_bits, int32_t dst_bits,
                                             bool preserve_hue);

ORVEX_API orvex_status orvex_clip_and_transform_color(const orvex_image* src, const orvex_image* dst,
                                                      const float* clip_limits, const float* matrix);

ORVEX_API orvex_status orvex_apply_hue_sat_map(const orvex_image* image, const float* table, int32_t hue_divisions,
                                               int32_t sat_divisions, int32_t val_divisions);

ORVEX_API orvex_status orvex_apply_exposure_ramp(const orvex_image* src, const orvex_image* dst, double white,
                                                 double black, double toe_width, bool unclipped);

ORVEX_API orvex_status orvex_apply_profile_gain_table_map(const orvex_image* image, const float* table,
                                                          int32_t map_points_v, int32_t map_points_h,
                                                          float map_spacing_v, float map_spacing_h,
                                                          float map_origin_v, float map_origin_h,
                                                          int32_t map_points_n, const float* input_weights,
                                                          float gamma, float input_scale);

ORVEX_API orvex_status orvex_mono_lut(const orvex_image* src, const orvex_image* dst, const float* lut,
                                      uint64_t lut_size, int32_t src_bits, int32_t dst_bits);

ORVEX_API orvex_status orvex_apply_gain_map(const orvex_image* image, const float* map, int32_t map_points_v,
                                            int32_t map_points_h, int32_t map_planes, int32_t top, int32_t left,
                                            int32_t bottom, int32_t right, int32_t plane, int32_t planes,
                                            int32_t row_pitch, int32_t col_pitch, double map_spacing_v,
                                            double map_spacing_h, double map_origin_v, double map_origin_h);

ORVEX_API orvex_status orvex_apply_gain_map_cfa(const orvex_image* image, const float* map, int32_t map_points_v,
                                                int32_t map_points_h, int32_t map_planes, int32_t top, int32_t left,
                                                int32_t bottom, int32_t right, int32_t row_pitch, int32_t col_pitch,
                                                double map_spacing_v, double map_spacing_h, double map_origin_v,
                                                double map_origin_h);

ORVEX_API orvex_status orvex_apply_flat_gain_map(const orvex_image* image, const float* map, int32_t map_rows,
                                                 int32_t map_cols);

ORVEX_API orvex_status orvex_fix_vignette(const orvex_image* image, const double* coefficients,
                                          int32_t coefficient_count, double center_x, double center_y);

ORVEX_API orvex_status orvex_warp_rectilinear(const orvex_image* src, const orvex_image* dst,
                                              const double* coefficients, int32_t planes, int32_t coefficient_count,
                                              const double* tangential, double center_x, double center_y,
                                              bool cubic);

ORVEX_API orvex_status orvex_map_polynomial(const orvex_image* image, int32_t top, int32_t left, int32_t bottom,
                                            int32_t right, int32_t plane, int32_t planes, int32_t row_pitch,
                                            int32_t col_pitch, const float* coefficients, int32_t degree);

ORVEX_API orvex_status orvex_fix_bad_pixels_constant(const orvex_image* src, const orvex_image* dst,
                                                     int32_t constant, uint32_t bayer_phase);

#ifdef __cplusplus
}
#endif

#endif
