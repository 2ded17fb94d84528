/* Calls every export of the library once, loaded with dlopen from the file
 * named on the command line, on inputs read from files in a folder; writes
 * each destination (and the status of each call) to files in that folder.
 * Usage: c_driver LIBRARY FOLDER HEIGHT WIDTH */
#include <dlfcn.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "orvex.h"

static const char* folder;

static void* load(const char* name, size_t bytes) {
    char path[4096];
    snprintf(path, sizeof path, "%s/%s.bin", folder, name);
    FILE* file = fopen(path, "rb");
    void* data = malloc(bytes ? bytes : 1);
    if (!file || !data || fread(data, 1, bytes, file) != bytes) {
        fprintf(stderr, "c_driver: cannot read %zu bytes from %s\n", bytes, path);
        exit(2);
    }
    fclose(file);
    return data;
}

static void save(const char* name, const void* data, size_t bytes, orvex_status status) {
    char path[4096];
    snprintf(path, sizeof path, "%s/out_%s.bin", folder, name);
    FILE* file = fopen(path, "wb");
    if (!file || fwrite(&status, sizeof status, 1, file) != 1 || fwrite(data, 1, bytes, file) != bytes) {
        fprintf(stderr, "c_driver: cannot write %s\n", path);
        exit(2);
    }
    fclose(file);
}

static orvex_image image(void* data, uint64_t h, uint64_t w, uint64_t c, uint32_t dtype) {
    orvex_image result = {data, h, w, c, dtype, 0, 0};
    return result;
}

#define BIND(name) __typeof__(&orvex_##name) name = (__typeof__(&orvex_##name))symbol(library, "orvex_" #name)

static void* symbol(void* library, const char* name) {
    void* address = dlsym(library, name);
    if (!address) {
        fprintf(stderr, "c_driver: %s not exported\n", name);
        exit(2);
    }
    return address;
}

int main(int argc, char** argv) {
    if (argc != 5) return 2;
    void* library = dlopen(argv[1], RTLD_NOW);
    if (!library) {
        fprintf(stderr, "c_driver: %s\n", dlerror());
        return 2;
    }
    folder = argv[2];
    const uint64_t h = strtoull(argv[3], NULL, 10), w = strtoull(argv[4], NULL, 10), n = h * w;
    BIND(convert_dtype);
    BIND(normalize_raw);
    BIND(bilinear_demosaic);
    BIND(vng_demosaic);
    BIND(transform_color);
    BIND(clip_and_transform_color);
    BIND(apply_hue_sat_map);
    BIND(apply_exposure_ramp);
    BIND(apply_profile_gain_table_map);
    BIND(mono_lut);
    BIND(apply_gain_map);
    BIND(apply_gain_map_cfa);
    BIND(apply_flat_gain_map);
    BIND(fix_vignette);
    BIND(warp_rectilinear);
    BIND(map_polynomial);
    BIND(fix_bad_pixels_constant);

    uint16_t* raw = load("raw", n * 2);
    float* mosaic = load("mosaic", n * 4);
    float* rgb = load("rgb", n * 12);
    uint16_t* rgb16 = load("rgb16", n * 6);
    orvex_image raw_image = image(raw, h, w, 1, ORVEX_DTYPE_UINT16);
    orvex_image mosaic_image = image(mosaic, h, w, 1, ORVEX_DTYPE_FLOAT32);
    orvex_image rgb_image = image(rgb, h, w, 3, ORVEX_DTYPE_FLOAT32);
    orvex_image rgb16_image = image(rgb16, h, w, 3, ORVEX_DTYPE_UINT16);
    uint16_t* out16 = calloc(n * 3, 2);
    uint8_t* out8 = calloc(n * 3, 1);
    float* out = calloc(n * 3, 4);
    orvex_image o;
    orvex_status s;

    o = image(out16, h, w, 3, ORVEX_DTYPE_UINT16);
    s = convert_dtype(&rgb_image, &o, 0, 12, -1.0f);
    save("convert_dtype", out16, n * 6, s);

    float* black = load("black_level", 4 * 4);
    float* white = load("white_level", 1 * 4);
    float* delta_h = load("black_delta_h", 2 * 4);
    o = image(out, h, w, 1, ORVEX_DTYPE_FLOAT32);
    s = normalize_raw(&raw_image, &o, black, 2, 2, 1, white, 1, delta_h, 2, NULL, 0, NULL, 0);
    save("normalize_raw", out, n * 4, s);

    const uint32_t rggb[4] = {0, 1, 1, 2};
    o = image(out, h, w, 3, ORVEX_DTYPE_FLOAT32);
    s = bilinear_demosaic(&mosaic_image, &o, rggb);
    save("bilinear_demosaic", out, n * 12, s);
    s = vng_demosaic(&mosaic_image, &o, rggb);
    save("vng_demosaic", out, 0, s);

    float* input_curve = load("input_curve", 5 * 4);
    float* matrix = load("matrix", 9 * 4);
    float* output_curve = load("output_curve", 7 * 4);
    o = image(out8, h, w, 3, ORVEX_DTYPE_UINT8);
    s = transform_color(&rgb16_image, &o, input_curve, 5, matrix, output_curve, 7, 12, 0, false);
    save("transform_color", out8, n * 3, s);

    float* clip_limits = load("clip_limits", 3 * 4);
    o = image(out, h, w, 3, ORVEX_DTYPE_FLOAT32);
    s = clip_and_transform_color(&rgb_image, &o, clip_limits, matrix);
    save("clip_and_transform_color", out, n * 12, s);

    float* hue_table = load("hue_sat_table", 2 * 6 * 4 * 3 * 4);
    memcpy(out, rgb, n * 12);
    s = apply_hue_sat_map(&o, hue_table, 6, 4, 2);
    save("apply_hue_sat_map", out, n * 12, s);

    s = apply_exposure_ramp(&rgb_image, &o, 0.8, 0.02, 0.05, false);
    save("apply_exposure_ramp", out, n * 12, s);

    float* gain_table = load("gain_table", 3 * 4 * 5 * 4);
    float* weights = load("input_weights", 5 * 4);
    memcpy(out, rgb, n * 12);
    s = apply_profile_gain_table_map(&o, gain_table, 3, 4, 0.5f, 0.25f, 0.1f, 0.0f, 5, weights, 0.8f, 1.1f);
    save("apply_profile_gain_table_map", out, n * 12, s);

    float* lut = load("lut", 17 * 4);
    o = image(out16, h, w, 1, ORVEX_DTYPE_UINT16);
    s = mono_lut(&mosaic_image, &o, lut, 17, 0, 12);
    save("mono_lut", out16, n * 2, s);

    float* gain_map = load("gain_map", 3 * 4 * 2 * 4);
    o = image(out, h, w, 3, ORVEX_DTYPE_FLOAT32);
    memcpy(out, rgb, n * 12);
    s = apply_gain_map(&o, gain_map, 3, 4, 2, 2, 3, 30, 50, 1, 2, 1, 2, 0.5, 1.0 / 3.0, 0.0, 0.0);
    save("apply_gain_map", out, n * 12, s);

    o = image(out, h, w, 1, ORVEX_DTYPE_FLOAT32);
    memcpy(out, mosaic, n * 4);
    s = apply_gain_map_cfa(&o, gain_map, 4, 3, 1, 0, 0, 0, 0, 2, 2, 1.0 / 3.0, 0.5, 0.0, 0.0);
    save("apply_gain_map_cfa", out, n * 4, s);

    float* flat_map = load("flat_map", 3 * 5 * 4);
    memcpy(out, mosaic, n * 4);
    s = apply_flat_gain_map(&o, flat_map, 3, 5);
    save("apply_flat_gain_map", out, n * 4, s);

    double* vignette = load("vignette", 3 * 8);
    o = image(out, h, w, 3, ORVEX_DTYPE_FLOAT32);
    memcpy(out, rgb, n * 12);
    s = fix_vignette(&o, vignette, 3, 0.45, 0.55);
    save("fix_vignette", out, n * 12, s);

    double* radial = load("radial", 3 * 4 * 8);
    double* tangential = load("tangential", 3 * 2 * 8);
    s = warp_rectilinear(&rgb_image, &o, radial, 3, 4, tangential, 0.5, 0.5, true);
    save("warp_rectilinear", out, n * 12, s);

    float* polynomial = load("polynomial", 4 * 4);
    o = image(out, h, w, 1, ORVEX_DTYPE_FLOAT32);
    memcpy(out, mosaic, n * 4);
    s = map_polynomial(&o, 0, 0, 0, 0, 0, 1, 1, 1, polynomial, 3);
    save("map_polynomial", out, n * 4, s);

    o = image(out16, h, w, 1, ORVEX_DTYPE_UINT16);
    memcpy(out16, raw, n * 2);
    s = fix_bad_pixels_constant(&raw_image, &o, 0, 1);
    save("fix_bad_pixels_constant", out16, n * 2, s);
    return 0;
}
