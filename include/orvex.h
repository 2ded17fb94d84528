/**
 * @file orvex.h
 * @brief orvex: the exact raw-photograph processing core, as a flat C interface.
 *
 * orvex develops raw photographs: it repairs and normalises the sensor mosaic,
 * demosaics it, corrects the lens and the sensor response, transforms colours,
 * shapes tone and converts the result to 8 or 16-bit samples. Each of the 17
 * processing functions is one independent stage; the host calls them in the
 * order of its own pipeline (docs/pipeline.md walks through a typical one).
 * Results are exact to the last bit on every x86-64 CPU.
 *
 * Parameter order. Every function takes its image descriptors first, by
 * pointer; then its parameter arrays, each followed by the counts or
 * dimensions that size it; then its other scalars. Two functions order their
 * parameters otherwise: orvex_apply_profile_gain_table_map() takes the table's
 * placement (spacings and origins) between its map dimensions and its
 * table-point count, and its input weights after them; orvex_map_polynomial()
 * takes its area, channel range and pitches before its coefficient array.
 * (orvex_warp_rectilinear() follows its coefficient array with the two values
 * that size it, `planes` and `coefficient_count`, and then takes the optional
 * tangential array, which `planes` sizes.)
 *
 * Buffers belong to the caller; the library keeps no pointer after a call
 * returns, starts no threads and keeps no state between calls, apart from one
 * read-only table of resampling weights built on first use. Calls on disjoint
 * buffers may run at the same time; two calls that write the same buffer, or
 * where one writes what the other reads, must not overlap.
 *
 * On Windows the declarations below import from the DLL; a program that links
 * the library's objects statically defines ORVEX_STATIC before including this
 * header.
 *
 * Status. Every function but orvex_version() returns an ::orvex_status. It
 * checks all its arguments, in the order its documentation lists, before it
 * reads or writes a sample: the first failing check decides the status, and a
 * failed call writes nothing. Sample values (NaN, infinities, values outside
 * 0..1) never cause a failure. A source and a destination of different size
 * are reported as #ORVEX_ERR_SHAPE_MISMATCH by orvex_bilinear_demosaic(),
 * orvex_warp_rectilinear() and orvex_fix_bad_pixels_constant(), and as
 * #ORVEX_ERR_INVALID_ARGUMENT by orvex_convert_dtype(), orvex_normalize_raw(),
 * orvex_transform_color(), orvex_clip_and_transform_color(),
 * orvex_apply_exposure_ramp() and orvex_mono_lut().
 *
 * Buffer size. A descriptor whose buffer size, `height` x `width` x
 * `channels` x sample size in bytes, does not fit in 64 bits or exceeds
 * PTRDIFF_MAX describes no buffer that can exist: every function that takes
 * an image returns #ORVEX_ERR_INVALID_ARGUMENT for it, tested together with
 * the descriptor's other fields (docs/robustness.md gives the exact place for
 * each function).
 *
 * Nominal maximum. Integer samples stand for floats in 0..1 scaled by the
 * nominal maximum of their type: 1.0 for floats; for 8 and 16-bit samples
 * 2^n - 1 when a bit depth `bits` > 0 is given, with n = `bits` modulo 32
 * (8 gives 255, 12 gives 4095, 16 gives 65535, 32 gives 0), otherwise 255 or
 * 65535. The bit depth is not compared with the type: 12 is accepted for
 * 8-bit samples.
 *
 * Float to integer samples. Functions that write 8 or 16-bit samples multiply
 * by the destination's nominal maximum, truncate toward zero into a signed
 * 32-bit integer (NaN, infinities and out-of-range values give -2^31) and
 * store its low 8 or 16 bits: there is no rounding to nearest and no
 * saturation, so for 8-bit samples 127.5 gives 127, 306 gives 50 and -25.5
 * gives 231.
 */
#ifndef ORVEX_H
#define ORVEX_H

#include <stdbool.h>
#include <stddef.h>
#include <stdint.h>

/** @cond ORVEX_INTERNAL */
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
/** @endcond */

#ifdef __cplusplus
extern "C" {
#endif

/**
 * @brief Image descriptor: where an image's samples are and how they are laid out.
 *
 * The caller fills it in and passes its address; the library only reads it.
 * Rows follow each other without gaps and the channels of a pixel are
 * interleaved: the sample at row r, column c, channel k has index
 * (r * width + c) * channels + k, counted in samples of type `dtype`. The
 * buffer holds height * width * channels samples. The record is 48 bytes with
 * 8-byte alignment under both the Linux and the Windows x86-64 ABI.
 */
typedef struct orvex_image {
    void* data;             /**< First sample of the image; never null in a call. */
    uint64_t height;        /**< Number of rows. */
    uint64_t width;         /**< Number of columns. */
    uint64_t channels;      /**< Samples per pixel, interleaved. */
    uint32_t dtype;         /**< Sample type: an ::orvex_dtype code. */
    uint32_t alignment_gap; /**< Padding; never read. */
    uint64_t reserved;      /**< Must be 0 (only orvex_bilinear_demosaic() ignores it). */
} orvex_image;

/** @brief Sample type codes for orvex_image::dtype. Code 2 and every other code are rejected. */
typedef enum orvex_dtype {
    ORVEX_DTYPE_UINT8 = 0,  /**< Unsigned 8-bit integer; nominal maximum 255 without a bit depth. */
    ORVEX_DTYPE_UINT16 = 1, /**< Unsigned 16-bit integer in host byte order; nominal maximum 65535. */
    ORVEX_DTYPE_FLOAT32 = 3 /**< IEEE 754 single precision float; nominal maximum 1.0. */
} orvex_dtype;

/** @brief Result of every function but orvex_version(); no other values than the four below occur. */
typedef int32_t orvex_status;
/** The function ran to the end. */
#define ORVEX_OK ((orvex_status)0)
/** A required pointer is null, `reserved` is not 0, a channel count, count, size or code is out of range, a
 * descriptor's buffer size is not addressable, or (in most two-image functions) source and destination differ in
 * size. */
#define ORVEX_ERR_INVALID_ARGUMENT ((orvex_status)1)
/** A sample type (or pair of types) the function does not handle, a nominal maximum of 0, or a function the
 * library does not provide. */
#define ORVEX_ERR_UNSUPPORTED ((orvex_status)2)
/** Source and destination differ in size (orvex_bilinear_demosaic(), orvex_warp_rectilinear(),
 * orvex_fix_bad_pixels_constant() only). */
#define ORVEX_ERR_SHAPE_MISMATCH ((orvex_status)3)

/** @cond ORVEX_INTERNAL */
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
/** @endcond */

/**
 * @brief The library's version.
 *
 * @return The version as constant, NUL-terminated "major.minor.patch" text.
 *         Never null; the same pointer on every call, valid while the library
 *         is loaded; the caller must neither free nor modify it.
 */
ORVEX_API const char* orvex_version(void);

/**
 * @brief Converts an image to another sample type, rescaling between the two nominal maxima.
 *
 * Typical uses: 16-bit raw data to floats in 0..1 at the start of a pipeline,
 * and floats to 8 or 16-bit output at its end. Every sample x becomes
 * v = x * s with s = Md / Ms (one float division per call, Ms and Md the
 * nominal maxima of source and destination); v is limited by `clip_limit`
 * when a limit is in force, and stored as described under "Float to integer
 * samples" for an integer destination (no rounding, no saturation: values
 * above Md and below 0 wrap). All nine pairs of types are handled.
 *
 * `src` and `dst` may describe the same buffer when both types have the same
 * sample size; the call then works in place.
 *
 * @param[in]  src       Image read: 8-bit, 16-bit or float samples, any channel count.
 * @param[out] dst       Image written: 8-bit, 16-bit or float samples, the same height, width and channels
 *                       as `src`.
 * @param[in]  src_bits  Significant bits of integer source samples (12 for 12-bit data in 16-bit samples);
 *                       0 or less: the type's full range. Ignored for a float source.
 * @param[in]  dst_bits  Significant bits of integer destination samples; 0 or less: the type's full range.
 *                       Ignored for a float destination.
 * @param[in]  clip_limit Upper limit of the scaled values, in destination units; negative or NaN: no limit.
 *                       For an integer destination a limit of at least Md is switched off. While a limit L
 *                       is in force, values of L or more and NaN become L.
 * @return #ORVEX_OK (also for an image of no samples), or the status of the first failing check:
 *   1. `src`, `dst` or the `data` of either is null: #ORVEX_ERR_INVALID_ARGUMENT.
 *   2. `reserved` of `src` or `dst` is not 0: #ORVEX_ERR_INVALID_ARGUMENT.
 *   3. Height, width or channels differ between `src` and `dst`: #ORVEX_ERR_INVALID_ARGUMENT.
 *   4. The nominal maximum of `src` or `dst` is 0 (a bit depth that is a multiple of 32, or an unknown type
 *      without a positive bit depth): #ORVEX_ERR_UNSUPPORTED.
 *   5. The type of `src` or `dst` is not an ::orvex_dtype code: #ORVEX_ERR_UNSUPPORTED.
 */
ORVEX_API orvex_status orvex_convert_dtype(const orvex_image* src, const orvex_image* dst, int32_t src_bits,
                                           int32_t dst_bits, float clip_limit);

/**
 * @brief Normalises raw sensor values to linear floats in 0..1 against black and white levels.
 *
 * Normally the first float stage of a pipeline, after orvex_fix_bad_pixels_constant() and before the mosaic
 * gain maps and orvex_bilinear_demosaic(). For the sample at row r, column c and channel k, all in float:
 * the raw value v is first replaced by a linearisation table entry when a table is given; the black level is
 * b = (h + p) + g, with p from the black level pattern, h the column delta and g the row delta (0 when
 * absent); the white level is w; the result is (v - b) / (w - b) when w - b > 0, otherwise 0, clamped to
 * 0..1 (NaN gives 0). A mosaic with one or a 2 x 2 black level, or three channels with one black level each,
 * and no optional array, multiplies by a precomputed 1 / (w - b) instead of dividing, which may differ in the
 * last bit of the float.
 *
 * A float source may describe the same buffer as `dst`; the call then works in place.
 *
 * @param[in]  src              Raw image read: 16-bit or float samples (a float source holds raw values in the
 *                              units of the levels, not values in 0..1), `channel_count` channels.
 * @param[out] dst              Float image written, same height and width, `channel_count` channels.
 * @param[in]  black_level      Black level pattern, never null: `black_level_rows` * `black_level_cols` *
 *                              `channel_count` floats in raw units. The value for pattern row i, column j,
 *                              channel k is at index (i * `black_level_cols` + j) * `channel_count` + k; image
 *                              row r and column c use pattern row r mod `black_level_rows` and column
 *                              c mod `black_level_cols`.
 * @param[in]  black_level_rows Rows of the black level pattern, at least 1.
 * @param[in]  black_level_cols Columns of the black level pattern, at least 1.
 * @param[in]  channel_count    Channels of both images, at least 1; must equal their `channels`.
 * @param[in]  white_level      White levels in raw units, never null: `white_level_count` floats; channel k
 *                              uses `white_level`[k mod `white_level_count`], so one value serves every channel.
 * @param[in]  white_level_count Values in `white_level`, at least 1.
 * @param[in]  black_delta_h    Optional per-column black offsets added to the pattern's black level:
 *                              `black_delta_h_count` floats, column c uses [c mod `black_delta_h_count`].
 *                              Ignored when null or when its count is 0 or less.
 * @param[in]  black_delta_h_count Values in `black_delta_h`.
 * @param[in]  black_delta_v    Optional per-row black offsets: `black_delta_v_count` floats, row r uses
 *                              [r mod `black_delta_v_count`]. Ignored when null or when its count is 0 or less.
 * @param[in]  black_delta_v_count Values in `black_delta_v`.
 * @param[in]  linearization_table Optional table of `linearization_table_count` 16-bit values that replace each
 *                              raw value before the black level is subtracted: the raw value, truncated toward
 *                              zero and clamped to 0 .. count - 1, selects the entry (NaN, infinities and
 *                              values beyond the 32-bit range select entry 0).
 *                              Ignored when null or when its count is 0 or less.
 * @param[in]  linearization_table_count Entries in `linearization_table`.
 * @return #ORVEX_OK, or the status of the first failing check:
 *   1. `src`, `dst`, the `data` of either, `black_level` or `white_level` is null: #ORVEX_ERR_INVALID_ARGUMENT.
 *   2. `reserved` of `src` or `dst` is not 0: #ORVEX_ERR_INVALID_ARGUMENT.
 *   3. Height or width differ between `src` and `dst`: #ORVEX_ERR_INVALID_ARGUMENT.
 *   4. `src` is neither 16-bit nor float, or `dst` is not float: #ORVEX_ERR_UNSUPPORTED.
 *   5. `channel_count` differs from the `channels` of `src` or `dst`: #ORVEX_ERR_INVALID_ARGUMENT.
 *   6. `black_level_rows`, `black_level_cols`, `channel_count` or `white_level_count` is below 1:
 *      #ORVEX_ERR_INVALID_ARGUMENT.
 *   7. The scratch row of column offsets cannot be allocated: #ORVEX_ERR_INVALID_ARGUMENT.
 */
ORVEX_API orvex_status orvex_normalize_raw(const orvex_image* src, const orvex_image* dst, const float* black_level,
                                           int32_t black_level_rows, int32_t black_level_cols,
                                           int32_t channel_count, const float* white_level,
                                           int32_t white_level_count, const float* black_delta_h,
                                           int32_t black_delta_h_count, const float* black_delta_v,
                                           int32_t black_delta_v_count, const uint16_t* linearization_table,
                                           int32_t linearization_table_count);

/**
 * @brief Demosaics a 2 x 2 colour filter array mosaic into three-channel pixels by bilinear averaging.
 *
 * Comes after orvex_normalize_raw() and the mosaic gain maps. Each pixel keeps its measured colour; a
 * missing green is the average of the direct neighbours (up, down, left, right); a missing red or blue at a
 * green site is the average of the horizontal neighbours of that colour, or else of the vertical ones; a
 * missing red or blue at a blue or red site is the average of the diagonal neighbours. Only neighbours inside
 * the image count (an average of none is 0). Channel k of `dst` holds colour code k.
 *
 * `src` and `dst` must not overlap. `reserved` is not examined.
 *
 * @param[in]  src          Float mosaic, 1 channel, read.
 * @param[out] dst          Float image, 3 channels, same height and width, written.
 * @param[in]  cfa_pattern  Never null: four colour codes (0 red, 1 green, 2 blue) of the 2 x 2 tile, row by row
 *                          from the image's top-left pixel; row r, column c has code
 *                          `cfa_pattern`[(r mod 2) * 2 + (c mod 2)]. RGGB is {0, 1, 1, 2}, BGGR {2, 1, 1, 0},
 *                          GRBG {1, 0, 2, 1}.
 * @return #ORVEX_OK (also for an image without pixels), or the status of the first failing check:
 *   1. `src`, `dst`, `cfa_pattern` or the `data` of either image is null: #ORVEX_ERR_INVALID_ARGUMENT.
 *   2. `src` is not float: #ORVEX_ERR_UNSUPPORTED.
 *   3. `src` does not have 1 channel: #ORVEX_ERR_INVALID_ARGUMENT.
 *   4. `dst` is not float: #ORVEX_ERR_UNSUPPORTED.
 *   5. `dst` does not have 3 channels: #ORVEX_ERR_INVALID_ARGUMENT.
 *   6. Height or width differ between `src` and `dst`: #ORVEX_ERR_SHAPE_MISMATCH.
 *   7. A colour code is greater than 2: #ORVEX_ERR_INVALID_ARGUMENT.
 */
ORVEX_API orvex_status orvex_bilinear_demosaic(const orvex_image* src, const orvex_image* dst,
                                               const uint32_t* cfa_pattern);

/**
 * @brief Variable-number-of-gradients demosaicing: not provided by this library.
 *
 * Reads none of its arguments and writes nothing; use orvex_bilinear_demosaic().
 *
 * @param[in]  src          Not read; may be null.
 * @param[out] dst          Not written; may be null.
 * @param[in]  cfa_pattern  Not read; may be null.
 * @return #ORVEX_ERR_UNSUPPORTED on every call.
 */
ORVEX_API orvex_status orvex_vng_demosaic(const orvex_image* src, const orvex_image* dst,
                                          const uint32_t* cfa_pattern);

/**
 * @brief Transforms the colours of a three-channel image through an input curve, a 3 x 3 matrix and an
 *        output curve, converting the sample type on the way.
 *
 * Takes camera colours to the output space after demosaicing and the lens corrections; with an integer
 * destination it can also be the pipeline's last step. Each stage is optional, but at least one of
 * `input_curve`, `matrix` and `output_curve` must be given. Source samples are divided by the source's
 * nominal maximum (from its type and `src_bits`); results are multiplied by the destination's (from its type
 * and `dst_bits`) and stored as described under "Float to integer samples". All in float:
 * - Input curve: each channel is looked up at position value * (n - 1), clamped to 0 .. n - 1 (NaN to n - 1),
 *   with linear interpolation between the two entries around it. An 8-bit source indexes a 256-entry curve
 *   that reads it (the input curve, or the single curve below) directly by the sample value, whatever
 *   `src_bits` says.
 * - Matrix: output channel k = (m[3k] * c0 + m[3k+1] * c1) + m[3k+2] * c2 of the three input channels.
 * - Output curve: looked up like the input curve at the matrix result; its value is not clamped.
 * - Without an output curve, the last result is clamped to 0..1 (NaN gives 0).
 * - With no matrix only one curve is applied, clamped to 0..1: the input curve when given (the output curve is
 *   then ignored), else the output curve.
 *
 * With `preserve_hue` the input curve is replaced by a hue-preserving curve: the pixel's channels are clamped
 * to 0..1, the largest and the smallest go through the curve and the middle one is placed between them in
 * the same proportion as before, so the hue does not change. Without a matrix its results are stored
 * unscaled and unclamped, and `output_curve` is ignored; with a matrix the matrix and the optional output
 * curve follow as above.
 *
 * `src` and `dst` may describe the same buffer when their sample types are equal; the call then works in
 * place. An integer image whose bit depth gives a nominal maximum of 0 is reported as unsupported; other bit
 * depths of 33 or more take their value modulo 32, as described under "Nominal maximum".
 *
 * @param[in]  src               Image read, 3 channels: 8-bit, 16-bit or float (float only with `preserve_hue`).
 * @param[out] dst               Image written, 3 channels, same height and width: 8-bit, 16-bit or float (float
 *                               only with `preserve_hue` and no `matrix`).
 * @param[in]  input_curve       Optional input curve (null: none): `input_curve_len` floats; entry i stands for
 *                               the normalised source value i / (`input_curve_len` - 1), entries normally in 0..1.
 *                               Required with `preserve_hue`.
 * @param[in]  input_curve_len   Entries in `input_curve`, 1 to 2^24 + 1 when it is given; ignored when it is null.
 *                               One entry maps every value to that entry.
 * @param[in]  matrix            Optional 3 x 3 matrix (null: none): nine floats, row-major, row k giving output
 *                               channel k.
 * @param[in]  output_curve      Optional output curve (null: none): `output_curve_len` floats; entry i stands for
 *                               the matrix result i / (`output_curve_len` - 1), entries normally in 0..1.
 * @param[in]  output_curve_len  Entries in `output_curve`, 1 to 2^24 + 1 when it is given; ignored when it is
 *                               null.
 * @param[in]  src_bits          Bit depth for the source's nominal maximum; 0 or less: the type's full range.
 *                               Ignored for a float source.
 * @param[in]  dst_bits          Bit depth for the destination's nominal maximum; 0 or less: the type's full range.
 *                               Ignored for a float destination.
 * @param[in]  preserve_hue      True selects the hue-preserving curve in place of the per-channel input curve.
 * @return #ORVEX_OK (also for an image without pixels), or the status of the first failing check:
 *   1. `src`, `dst` or the `data` of either is null: #ORVEX_ERR_INVALID_ARGUMENT.
 *   2. `reserved` of `src` or `dst` is not 0: #ORVEX_ERR_INVALID_ARGUMENT.
 *   3. Height or width differ between `src` and `dst`: #ORVEX_ERR_INVALID_ARGUMENT.
 *   4. `src` or `dst` does not have 3 channels: #ORVEX_ERR_INVALID_ARGUMENT.
 *   5. The buffer size of `src` or `dst` is not addressable (see "Buffer size" above):
 *      #ORVEX_ERR_INVALID_ARGUMENT.
 *   6. `input_curve`, `matrix` and `output_curve` are all null: #ORVEX_ERR_INVALID_ARGUMENT.
 *   7. A given curve has 0 or more than 2^24 + 1 entries: #ORVEX_ERR_INVALID_ARGUMENT.
 *   8. Height * width overflows the addressable size: #ORVEX_ERR_INVALID_ARGUMENT.
 *   9. An 8 or 16-bit `src` or `dst` has a nominal maximum of 0 (its bit depth is a multiple of 32):
 *      #ORVEX_ERR_UNSUPPORTED.
 *  10. Without `preserve_hue`: the type of `src` or `dst` is not an ::orvex_dtype code: #ORVEX_ERR_UNSUPPORTED.
 *  11. With `preserve_hue`: `src` is not float or `input_curve` is null: #ORVEX_ERR_INVALID_ARGUMENT; without
 *      `matrix`, `dst` is not float: #ORVEX_ERR_INVALID_ARGUMENT; with `matrix`, the type of `dst` is not an
 *      ::orvex_dtype code: #ORVEX_ERR_UNSUPPORTED.
 *  12. The scratch copies of the curves cannot be allocated: #ORVEX_ERR_INVALID_ARGUMENT.
 */
ORVEX_API orvex_status orvex_transform_color(const orvex_image* src, const orvex_image* dst,
                                             const float* input_curve, uint64_t input_curve_len,
                                             const float* matrix, const float* output_curve,
                                             uint64_t output_curve_len, int32_t src_bits, int32_t dst_bits,
                                             bool preserve_hue);

/**
 * @brief Bounds each channel of a float image from above, transforms it by a 3 x 3 matrix and clamps the
 *        result to 0..1.
 *
 * A float-only colour transform beside orvex_transform_color(), with per-channel input bounds and no curves.
 * Per pixel, all in float: x_k = s_k when `clip_limits`[k] >= s_k, else `clip_limits`[k] (a NaN sample takes
 * its bound; there is no lower bound); output j = (x_0 * m[3j] + x_1 * m[3j+1]) + x_2 * m[3j+2], clamped to
 * 0..1 (NaN gives 0).
 *
 * `src` and `dst` may describe the same buffer; the call then works in place.
 *
 * @param[in]  src          Float image, 3 channels, read.
 * @param[out] dst          Float image, 3 channels, same height and width, written.
 * @param[in]  clip_limits  Never null: three floats, the upper bounds of input channels 0, 1 and 2.
 * @param[in]  matrix       Never null: nine floats, row-major; row j gives output channel j.
 * @return #ORVEX_OK (also for an image without pixels), or the status of the first failing check:
 *   1. `src`, `dst`, `clip_limits`, `matrix` or the `data` of either image is null: #ORVEX_ERR_INVALID_ARGUMENT.
 *   2. `src` or `dst` is not float: #ORVEX_ERR_UNSUPPORTED.
 *   3. `reserved` of `src` or `dst` is not 0: #ORVEX_ERR_INVALID_ARGUMENT.
 *   4. Height or width differ between `src` and `dst`: #ORVEX_ERR_INVALID_ARGUMENT.
 *   5. `src` or `dst` does not have 3 channels: #ORVEX_ERR_INVALID_ARGUMENT.
 */
ORVEX_API orvex_status orvex_clip_and_transform_color(const orvex_image* src, const orvex_image* dst,
                                                      const float* clip_limits, const float* matrix);

/**
 * @brief Adjusts the colours of a float RGB image in place through a hue/saturation/value table.
 *
 * A colour-shaping step after the colour transform. Each pixel is converted to hue, saturation and value
 * (value = the largest channel); the table is interpolated at that point (hue wraps around; saturation and,
 * in the three-dimensional form, value extrapolate linearly beyond the last division) and gives a hue shift,
 * a saturation scale and a value scale; the adjusted saturation is limited to 1, the adjusted value to 0..1,
 * and the pixel is converted back to RGB. A pixel whose shifted hue is not finite while its adjusted
 * saturation is positive is left unchanged.
 *
 * @param[in,out] image          Float image, 3 channels (R, G, B), changed in place.
 * @param[in]     table          Never null: entries of three floats (hue shift in degrees, saturation scale, value
 *                               scale). The entry of value division V, hue division H and saturation division S
 *                               is entry number V * (`hue_divisions` * `sat_divisions`) + H * `sat_divisions` + S
 *                               (V = 0 in the two-dimensional form), its floats at three times that number and the
 *                               two following indices. The caller provides 3 * `hue_divisions` * `sat_divisions`
 *                               floats, times `val_divisions` when that is 2 or more.
 * @param[in]     hue_divisions  Hue divisions, at least 1; division H lies at hue H * 360 / `hue_divisions`
 *                               degrees, and the last one is followed by division 0.
 * @param[in]     sat_divisions  Saturation divisions, at least 1; division S lies at saturation
 *                               S / (`sat_divisions` - 1).
 * @param[in]     val_divisions  Value divisions, at least 0; 0 and 1 select the two-dimensional table (the same
 *                               adjustment at every value); from 2 on division V lies at value
 *                               V / (`val_divisions` - 1).
 * @return #ORVEX_OK (also for an image without pixels), or the status of the first failing check:
 *   1. `image`, its `data` or `table` is null: #ORVEX_ERR_INVALID_ARGUMENT.
 *   2. `image` is not float: #ORVEX_ERR_UNSUPPORTED.
 *   3. `image` does not have 3 channels: #ORVEX_ERR_INVALID_ARGUMENT.
 *   4. `reserved` is not 0: #ORVEX_ERR_INVALID_ARGUMENT.
 *   5. `hue_divisions` or `sat_divisions` is below 1, or `val_divisions` below 0: #ORVEX_ERR_INVALID_ARGUMENT.
 */
ORVEX_API orvex_status orvex_apply_hue_sat_map(const orvex_image* image, const float* table, int32_t hue_divisions,
                                               int32_t sat_divisions, int32_t val_divisions);

/**
 * @brief Maps every sample of a float RGB image through an exposure ramp with a quadratic toe.
 *
 * The tone step before conversion to 8 or 16-bit output. The curve is 0 up to the toe, a straight ramp
 * (x - `black`) / (`white` - `black`) above it, and between them a quadratic toe centred on `black` that
 * leaves 0 smoothly and meets the ramp with equal value and slope. The toe reaches
 * min(`toe_width` / 2, (`white` - `black`) / 16) to each side of `black`. Samples at or below the toe's start,
 * and NaN, give 0. Degenerate parameters give degenerate curves, not errors: with `white` equal to `black`
 * samples above `black` give 1 (infinity when unclipped).
 *
 * `src` and `dst` may describe the same buffer; the call then works in place.
 *
 * @param[in]  src        Float image, 3 channels, read.
 * @param[out] dst        Float image, 3 channels, same height and width, written.
 * @param[in]  white      Sample value that maps to 1, in sample units.
 * @param[in]  black      Sample value where the straight ramp starts from 0, in sample units.
 * @param[in]  toe_width  Largest full width of the toe around `black`, in sample units; 0 or less: no toe
 *                        (a negative width makes samples up to `black` + |`toe_width`| / 2 give 0).
 * @param[in]  unclipped  False: the ramp stops at 1. True: it continues above 1.
 * @return #ORVEX_OK (also for an image without pixels), or the status of the first failing check:
 *   1. `src`, `dst` or the `data` of either is null: #ORVEX_ERR_INVALID_ARGUMENT.
 *   2. `src` or `dst` is not float: #ORVEX_ERR_UNSUPPORTED.
 *   3. `src` or `dst` does not have 3 channels: #ORVEX_ERR_INVALID_ARGUMENT.
 *   4. `reserved` of `src` or `dst` is not 0: #ORVEX_ERR_INVALID_ARGUMENT.
 *   5. Height or width differ between `src` and `dst`: #ORVEX_ERR_INVALID_ARGUMENT.
 */
ORVEX_API orvex_status orvex_apply_exposure_ramp(const orvex_image* src, const orvex_image* dst, double white,
                                                 double black, double toe_width, bool unclipped);

/**
 * @brief Multiplies each pixel of a float RGB image in place by a gain that depends on the pixel's position
 *        and brightness.
 *
 * A tone-shaping step after the colour transform. A grid of map points is laid over the image; each carries
 * `map_points_n` gains over a brightness measure. Per pixel, in float: the measure
 * ((w0 R + w1 G) + (w2 B + (w3 min + w4 max))) * `input_scale`, clamped to 0..1 (NaN gives 0), raised to
 * `gamma` when `gamma` is not 1; the gain is interpolated between the two nearest table points (point n lies at
 * measure n / `map_points_n`, the last one holds up to 1) of the four surrounding map points, then along the
 * map columns and rows; each channel becomes gain * channel, clamped to 0..1 (NaN gives 0). Outside the map's
 * extent the edge points hold.
 *
 * @param[in,out] image          Float image, 3 channels (R, G, B), changed in place.
 * @param[in]     table          Never null: `map_points_v` * `map_points_h` * `map_points_n` gains; the gain of map
 *                               row r, map column c and table point n is at index
 *                               (r * `map_points_h` + c) * `map_points_n` + n.
 * @param[in]     map_points_v   Map rows, at least 1.
 * @param[in]     map_points_h   Map columns, at least 1.
 * @param[in]     map_spacing_v  Distance between map rows, as a fraction of the image height.
 * @param[in]     map_spacing_h  Distance between map columns, as a fraction of the image width.
 * @param[in]     map_origin_v   Position of map row 0, as a fraction of the height; image row y lies at
 *                               (y + 0.5) / height.
 * @param[in]     map_origin_h   Position of map column 0, as a fraction of the width; image column x lies at
 *                               (x + 0.5) / width.
 * @param[in]     map_points_n   Table points per map point, at least 1.
 * @param[in]     input_weights  Never null: five floats, the weights of R, G, B, min(R, G, B) and max(R, G, B).
 * @param[in]     gamma          Exponent of the clamped brightness measure; 1 or NaN: none.
 * @param[in]     input_scale    Factor of the weighted sum, applied before the clamp.
 * @return #ORVEX_OK (also for an image without pixels), or the status of the first failing check:
 *   1. `image`, its `data`, `table` or `input_weights` is null: #ORVEX_ERR_INVALID_ARGUMENT.
 *   2. `image` is not float: #ORVEX_ERR_UNSUPPORTED.
 *   3. `image` does not have 3 channels: #ORVEX_ERR_INVALID_ARGUMENT.
 *   4. `reserved` is not 0: #ORVEX_ERR_INVALID_ARGUMENT.
 *   5. `map_points_v`, `map_points_h` or `map_points_n` is below 1: #ORVEX_ERR_INVALID_ARGUMENT.
 *   6. The three scratch rows cannot be allocated: #ORVEX_ERR_INVALID_ARGUMENT.
 */
ORVEX_API orvex_status orvex_apply_profile_gain_table_map(const orvex_image* image, const float* table,
                                                          int32_t map_points_v, int32_t map_points_h,
                                                          float map_spacing_v, float map_spacing_h,
                                                          float map_origin_v, float map_origin_h,
                                                          int32_t map_points_n, const float* input_weights,
                                                          float gamma, float input_scale);

/**
 * @brief Maps a single-channel image through a tone table, converting the sample type on the way.
 *
 * Turns a float channel (or an 8/16-bit one) into output samples, for example for a monochrome rendering at
 * the end of a pipeline. The table spans the source's nominal range S uniformly: sample x is looked up at
 * position x * (`lut_size` - 1) / S, clamped to 0 .. `lut_size` - 1 (NaN to the last entry), with linear
 * interpolation between the two entries around it; an 8-bit source with exactly 256 entries indexes the table
 * directly by the sample value. The table value is clamped to 0..1 (NaN gives 0), multiplied by the
 * destination's nominal maximum D and stored (truncated toward zero for integer samples).
 *
 * `src` and `dst` must be separate buffers.
 *
 * @param[in]  src       Image read, 1 channel: 8-bit, 16-bit or float.
 * @param[out] dst       Image written, 1 channel, same height and width: 8-bit, 16-bit or float.
 * @param[in]  lut       Never null: `lut_size` floats, output levels in 0..1 (values outside are clamped); entry k
 *                       stands for the source level k * S / (`lut_size` - 1), or for the byte value k in the
 *                       direct 8-bit mode.
 * @param[in]  lut_size  Entries in `lut`, at least 2.
 * @param[in]  src_bits  Bit depth for the source's nominal maximum S; 0 or less: the type's full range. Ignored
 *                       for a float source and, apart from the check below, in the direct 8-bit mode.
 * @param[in]  dst_bits  Bit depth for the destination's nominal maximum D; 0 or less: the type's full range.
 *                       Ignored for a float destination.
 * @return #ORVEX_OK (also for an image without samples), or the status of the first failing check:
 *   1. `src`, `dst`, `lut` or the `data` of either image is null: #ORVEX_ERR_INVALID_ARGUMENT.
 *   2. `lut_size` is below 2: #ORVEX_ERR_INVALID_ARGUMENT.
 *   3. `reserved` of `src` or `dst` is not 0: #ORVEX_ERR_INVALID_ARGUMENT.
 *   4. Height or width differ between `src` and `dst`: #ORVEX_ERR_INVALID_ARGUMENT.
 *   5. `src` or `dst` does not have 1 channel: #ORVEX_ERR_INVALID_ARGUMENT.
 *   6. S or D is 0 (a bit depth that is a multiple of 32, or an unknown type without a positive bit depth):
 *      #ORVEX_ERR_UNSUPPORTED.
 *   7. The type of `src` or `dst` is not an ::orvex_dtype code: #ORVEX_ERR_UNSUPPORTED.
 */
ORVEX_API orvex_status orvex_mono_lut(const orvex_image* src, const orvex_image* dst, const float* lut,
                                      uint64_t lut_size, int32_t src_bits, int32_t dst_bits);

/**
 * @brief Multiplies an area of a float RGB image in place by gains interpolated from a gain map.
 *
 * The three-channel form of a raw file's gain-map correction, applied after demosaicing. The map's points are
 * placed over the whole image by an origin and a spacing; the gain of each processed sample is the bilinear
 * interpolation of the four surrounding map points (the edge points hold outside the map's extent), and the
 * sample becomes gain * sample, clamped to 0..1 (NaN gives 0). Processed are the rows `top` .. `bottom` - 1
 * and columns `left` .. `right` - 1, every `row_pitch`-th row and `col_pitch`-th column from the area's first,
 * for the channels `plane` .. `plane` + `planes` - 1 that exist. An area that clips to nothing, or a channel
 * range outside the image, changes nothing.
 *
 * @param[in,out] image          Float image, 3 channels, changed in place.
 * @param[in]     map            Never null: `map_points_v` * `map_points_h` * `map_planes` gains; the gain of map
 *                               row r, map column c and plane q is at index (r * `map_points_h` + c) * `map_planes`
 *                               + q. Image channel p reads plane min(p, `map_planes` - 1).
 * @param[in]     map_points_v   Map rows, at least 1.
 * @param[in]     map_points_h   Map columns, at least 1.
 * @param[in]     map_planes     Map planes, at least 1.
 * @param[in]     top            First row of the area; negative counts as 0.
 * @param[in]     left           First column of the area; negative counts as 0.
 * @param[in]     bottom         End row of the area, exclusive; 0, negative or at least the height: the height.
 * @param[in]     right          End column of the area, exclusive; 0, negative or at least the width: the width.
 * @param[in]     plane          First channel processed, at least 0.
 * @param[in]     planes         Number of channels processed; 0 or less: none.
 * @param[in]     row_pitch      Step between processed rows, at least 1.
 * @param[in]     col_pitch      Step between processed columns, not 0; a step wider than the area (or a negative
 *                               one) processes only the area's first column.
 * @param[in]     map_spacing_v  Distance between map rows, as a fraction of the image height.
 * @param[in]     map_spacing_h  Distance between map columns, as a fraction of the image width.
 * @param[in]     map_origin_v   Position of map row 0, as a fraction of the height; image row y lies at
 *                               (y + 0.5) / height.
 * @param[in]     map_origin_h   Position of map column 0, as a fraction of the width; image column x lies at
 *                               (x + 0.5) / width.
 * @return #ORVEX_OK, or the status of the first failing check:
 *   1. `image`, its `data` or `map` is null: #ORVEX_ERR_INVALID_ARGUMENT.
 *   2. `map_points_v`, `map_points_h` or `map_planes` is below 1: #ORVEX_ERR_INVALID_ARGUMENT.
 *   3. `image` is not float: #ORVEX_ERR_UNSUPPORTED.
 *   4. `reserved` is not 0: #ORVEX_ERR_INVALID_ARGUMENT.
 *   5. `image` does not have 3 channels: #ORVEX_ERR_INVALID_ARGUMENT.
 *   6. `row_pitch` is below 1, `col_pitch` is 0, or `plane` is negative: #ORVEX_ERR_INVALID_ARGUMENT.
 */
ORVEX_API orvex_status orvex_apply_gain_map(const orvex_image* image, const float* map, int32_t map_points_v,
                                            int32_t map_points_h, int32_t map_planes, int32_t top, int32_t left,
                                            int32_t bottom, int32_t right, int32_t plane, int32_t planes,
                                            int32_t row_pitch, int32_t col_pitch, double map_spacing_v,
                                            double map_spacing_h, double map_origin_v, double map_origin_h);

/**
 * @brief Multiplies sites of a float mosaic in place by gains interpolated from a gain map.
 *
 * The mosaic form of orvex_apply_gain_map(), applied after orvex_normalize_raw() and before demosaicing: the
 * same area, pitches, placement, interpolation and clamp to 0..1, on the single channel of a mosaic. The
 * area's first row and column and the pitches select the sites of one colour (for a 2 x 2 pattern: pitches 2,
 * and `top`/`left` 0 or 1).
 *
 * @param[in,out] image          Float mosaic, 1 channel, changed in place.
 * @param[in]     map            Never null: `map_points_v` * `map_points_h` * `map_planes` gains laid out as for
 *                               orvex_apply_gain_map(); only plane 0 is read, the others only set the stride.
 * @param[in]     map_points_v   Map rows, at least 1.
 * @param[in]     map_points_h   Map columns, at least 1.
 * @param[in]     map_planes     Map planes, at least 1.
 * @param[in]     top            First row of the area; negative counts as 0.
 * @param[in]     left           First column of the area; negative counts as 0.
 * @param[in]     bottom         End row of the area, exclusive; 0, negative or at least the height: the height.
 * @param[in]     right          End column of the area, exclusive; 0, negative or at least the width: the width.
 * @param[in]     row_pitch      Step between processed rows, at least 1.
 * @param[in]     col_pitch      Step between processed columns, not 0; a step wider than the area (or a negative
 *                               one) processes only the area's first column.
 * @param[in]     map_spacing_v  Distance between map rows, as a fraction of the image height.
 * @param[in]     map_spacing_h  Distance between map columns, as a fraction of the image width.
 * @param[in]     map_origin_v   Position of map row 0, as a fraction of the height.
 * @param[in]     map_origin_h   Position of map column 0, as a fraction of the width.
 * @return #ORVEX_OK, or the status of the first failing check:
 *   1. `image`, its `data` or `map` is null: #ORVEX_ERR_INVALID_ARGUMENT.
 *   2. `map_points_v`, `map_points_h` or `map_planes` is below 1: #ORVEX_ERR_INVALID_ARGUMENT.
 *   3. `image` is not float: #ORVEX_ERR_UNSUPPORTED.
 *   4. `reserved` is not 0: #ORVEX_ERR_INVALID_ARGUMENT.
 *   5. `image` does not have 1 channel: #ORVEX_ERR_INVALID_ARGUMENT.
 *   6. `row_pitch` is below 1 or `col_pitch` is 0: #ORVEX_ERR_INVALID_ARGUMENT.
 */
ORVEX_API orvex_status orvex_apply_gain_map_cfa(const orvex_image* image, const float* map, int32_t map_points_v,
                                                int32_t map_points_h, int32_t map_planes, int32_t top, int32_t left,
                                                int32_t bottom, int32_t right, int32_t row_pitch, int32_t col_pitch,
                                                double map_spacing_v, double map_spacing_h, double map_origin_v,
                                                double map_origin_h);

/**
 * @brief Multiplies every sample of a float mosaic in place by a grid of gains stretched over the image.
 *
 * A flat-field correction of the mosaic, applied after orvex_normalize_raw(). Grid row r lies on image row
 * r * height / `map_rows` and grid column c on image column c * width / `map_cols`; the gain is the bilinear
 * interpolation of the grid, extrapolated linearly beyond the last grid row and column. Samples become
 * gain * sample with no clamp.
 *
 * @param[in,out] image     Float image, 1 channel, at least one row and one column, changed in place.
 * @param[in]     map       Never null: `map_rows` * `map_cols` gains, row-major; grid row r, column c at index
 *                          r * `map_cols` + c.
 * @param[in]     map_rows  Grid rows, at least 2.
 * @param[in]     map_cols  Grid columns, at least 2.
 * @return #ORVEX_OK, or the status of the first failing check:
 *   1. `image`, its `data` or `map` is null, or `map_rows` or `map_cols` is below 2: #ORVEX_ERR_INVALID_ARGUMENT.
 *   2. `image` is not float: #ORVEX_ERR_UNSUPPORTED.
 *   3. `reserved` is not 0, `image` does not have 1 channel, or its height or width is 0:
 *      #ORVEX_ERR_INVALID_ARGUMENT.
 */
ORVEX_API orvex_status orvex_apply_flat_gain_map(const orvex_image* image, const float* map, int32_t map_rows,
                                                 int32_t map_cols);

/**
 * @brief Corrects radial vignetting of a float image in place.
 *
 * A lens correction on the mosaic or the demosaiced image. Every pixel is multiplied by
 * gain = 1 + k0 r^2 + k1 r^4 + k2 r^6 + k3 r^8 + k4 r^10 (in double, then converted to float once per pixel),
 * where r is the distance of the pixel's integer coordinates (x, y) from the optical centre
 * (width * `center_x`, height * `center_y`) divided by the largest distance from the centre to an image corner
 * (at least 1). Every channel of the pixel becomes gain * sample, clamped to 0..1 (NaN gives 0).
 *
 * @param[in,out] image              Float image, any channel count, changed in place.
 * @param[in]     coefficients       Never null: `coefficient_count` doubles k0, k1, ...; the first five at most are
 *                                   used.
 * @param[in]     coefficient_count  Values in `coefficients`, at least 1.
 * @param[in]     center_x           Optical centre as a fraction of the width (0.5: the middle).
 * @param[in]     center_y           Optical centre as a fraction of the height (0.5: the middle).
 * @return #ORVEX_OK, or the status of the first failing check:
 *   1. `image`, its `data` or `coefficients` is null, or `coefficient_count` is below 1:
 *      #ORVEX_ERR_INVALID_ARGUMENT.
 *   2. `image` is not float: #ORVEX_ERR_UNSUPPORTED.
 *   3. `reserved` is not 0: #ORVEX_ERR_INVALID_ARGUMENT.
 */
ORVEX_API orvex_status orvex_fix_vignette(const orvex_image* image, const double* coefficients,
                                          int32_t coefficient_count, double center_x, double center_y);

/**
 * @brief Corrects radial and tangential lens distortion, resampling `src` into `dst`.
 *
 * A lens correction on the mosaic or the demosaiced image. For each destination pixel (x, y), in double, with
 * (dx, dy) its offset from the optical centre (width * `center_x`, height * `center_y`), R the largest
 * centre-to-corner distance (at least 1), (nx, ny) = (dx, dy) / R and r^2 = min(nx^2 + ny^2, 1): channel i is
 * read from the source position centre + f (dx, dy) with f = kr0 + kr1 r^2 + kr2 r^4 + kr3 r^6, plus, when
 * tangential terms are given, R (2 kt0 nx ny + kt1 (2 nx^2 + r^2)) horizontally and
 * R (2 kt1 nx ny + kt0 (2 ny^2 + r^2)) vertically. Positions are clamped to the image. Bilinear
 * resampling stores its result unclamped; cubic resampling (a 4 x 4 window, weights at 1/32-pixel steps from a
 * 64 KiB table built once per process on the first cubic call) clamps it to 0..1 (NaN gives 0). Images
 * smaller than 4 x 4 are resampled bilinearly.
 *
 * `src` and `dst` must not overlap.
 *
 * @param[in]  src                Float image, read.
 * @param[out] dst                Float image with the same height, width and channels; channels below
 *                                min(`planes`, channels) are written, the others keep their values.
 * @param[in]  coefficients       Never null: `planes` * `coefficient_count` doubles; plane i's radial set
 *                                kr0, kr1, ... starts at index i * `coefficient_count`, and its first four values
 *                                at most are used.
 * @param[in]  planes             Coefficient sets, at least 1; plane i drives channel i, and sets beyond the
 *                                channel count are ignored.
 * @param[in]  coefficient_count  Radial coefficients per plane, at least 1.
 * @param[in]  tangential         Optional (null: no tangential term): 2 * `planes` doubles, kt0 and kt1 of plane i
 *                                at indices 2i and 2i + 1. A pair (0, 0) adds nothing.
 * @param[in]  center_x           Optical centre as a fraction of the width.
 * @param[in]  center_y           Optical centre as a fraction of the height.
 * @param[in]  cubic              True: cubic resampling; false: bilinear.
 * @return #ORVEX_OK (also for an image without rows), or the status of the first failing check:
 *   1. `src`, `dst`, the `data` of either or `coefficients` is null, or `planes` or `coefficient_count` is
 *      below 1: #ORVEX_ERR_INVALID_ARGUMENT.
 *   2. `src` or `dst` is not float: #ORVEX_ERR_UNSUPPORTED.
 *   3. `reserved` of `src` or `dst` is not 0: #ORVEX_ERR_INVALID_ARGUMENT.
 *   4. Height, width or channels differ between `src` and `dst`: #ORVEX_ERR_SHAPE_MISMATCH.
 *   5. Scratch memory for the coefficients or the cubic weight table cannot be allocated:
 *      #ORVEX_ERR_INVALID_ARGUMENT.
 */
ORVEX_API orvex_status orvex_warp_rectilinear(const orvex_image* src, const orvex_image* dst,
                                              const double* coefficients, int32_t planes, int32_t coefficient_count,
                                              const double* tangential, double center_x, double center_y,
                                              bool cubic);

/**
 * @brief Replaces the samples of an area of a float image in place by a polynomial of their value.
 *
 * The polynomial mapping of a raw file's opcode lists, on the mosaic or the demosaiced image. Each processed
 * sample x becomes f(x) = c0 + sign(x) (c1 |x| + c2 |x|^2 + ... + cn |x|^n), evaluated in float (nested
 * multiplication up to degree 4, ascending powers above), clamped to -1..1 (NaN gives -1). Processed are the
 * rows `top` .. `bottom` - 1 and columns `left` .. `right` - 1, every `row_pitch`-th row and `col_pitch`-th
 * column from the area's first, for the channels `plane` .. `plane` + `planes` - 1 that exist.
 *
 * @param[in,out] image         Float image, 1 or 3 channels, changed in place.
 * @param[in]     top           First row of the area, at least 0. `top` and `bottom` both 0: every row.
 * @param[in]     left          First column of the area, at least 0. `left` and `right` both 0: every column.
 * @param[in]     bottom        End row of the area, exclusive; from `top` to the height.
 * @param[in]     right         End column of the area, exclusive; from `left` to the width.
 * @param[in]     plane         First channel processed, at least 0.
 * @param[in]     planes        Number of channels processed; 0 or less: none.
 * @param[in]     row_pitch     Step between processed rows, at least 1.
 * @param[in]     col_pitch     Step between processed columns, at least 1.
 * @param[in]     coefficients  Never null: `degree` + 1 floats c0 (the constant term) .. c`degree`.
 * @param[in]     degree        Degree of the polynomial, at least 0; degree 0 sets every processed sample to c0.
 * @return #ORVEX_OK, or the status of the first failing check:
 *   1. `image`, its `data` or `coefficients` is null, or `degree` is negative: #ORVEX_ERR_INVALID_ARGUMENT.
 *   2. `image` is not float: #ORVEX_ERR_UNSUPPORTED.
 *   3. `reserved` is not 0: #ORVEX_ERR_INVALID_ARGUMENT.
 *   4. `image` has neither 1 nor 3 channels: #ORVEX_ERR_INVALID_ARGUMENT.
 *   5. `row_pitch` or `col_pitch` is below 1: #ORVEX_ERR_INVALID_ARGUMENT.
 *   6. `plane` is negative, or the area does not lie inside the image: #ORVEX_ERR_INVALID_ARGUMENT.
 */
ORVEX_API orvex_status orvex_map_polynomial(const orvex_image* image, int32_t top, int32_t left, int32_t bottom,
                                            int32_t right, int32_t plane, int32_t planes, int32_t row_pitch,
                                            int32_t col_pitch, const float* coefficients, int32_t degree);

/**
 * @brief Repairs the samples of a 16-bit Bayer mosaic that hold a bad-pixel marker.
 *
 * The first step of a pipeline, on the raw mosaic before orvex_normalize_raw(). Each `src` sample equal to the
 * marker is replaced in `dst` by the mean, rounded to nearest with halves up, of its good same-colour
 * neighbours read from `src`: the four diagonal neighbours at a green site, the four neighbours two samples
 * away in its row and column at a red or blue site; neighbours outside the image or holding the marker do not
 * count, and a sample without a good neighbour is left as it is. Only repaired samples are written: `dst` must
 * already hold the image.
 *
 * `src` and `dst` may be the same image; a sample repaired earlier in row-major order then counts as a good
 * neighbour of later ones.
 *
 * @param[in]  src          16-bit mosaic, 1 channel, read.
 * @param[out] dst          16-bit mosaic with the same height and width, 1 channel, holding a copy of `src` (or
 *                          `src` itself); receives the repaired samples.
 * @param[in]  constant     Marker value; its low 16 bits are compared with the samples.
 * @param[in]  bayer_phase  Places the green sites: the sample at row i, column j is green when
 *                          i + j + `bayer_phase` + (`bayer_phase` >> 1) is even. Phases 0 and 3 put green where
 *                          i + j is even (GRBG, GBRG), 1 and 2 where it is odd (RGGB, BGGR).
 * @return #ORVEX_OK, or the status of the first failing check:
 *   1. `src`, `dst` or the `data` of either is null: #ORVEX_ERR_INVALID_ARGUMENT.
 *   2. `src` or `dst` is not 16-bit: #ORVEX_ERR_UNSUPPORTED.
 *   3. `reserved` of `src` or `dst` is not 0: #ORVEX_ERR_INVALID_ARGUMENT.
 *   4. `src` or `dst` does not have 1 channel: #ORVEX_ERR_INVALID_ARGUMENT.
 *   5. Height or width differ between `src` and `dst`: #ORVEX_ERR_SHAPE_MISMATCH.
 */
ORVEX_API orvex_status orvex_fix_bad_pixels_constant(const orvex_image* src, const orvex_image* dst,
                                                     int32_t constant, uint32_t bayer_phase);

#ifdef __cplusplus
}
#endif

#endif
