/* Develops a synthetic raw photograph with orvex: a 12-bit RGGB mosaic in
 * memory becomes an 8-bit RGB image, written as a PPM file when a path is
 * given. Build: cc pipeline.c $(pkg-config --cflags --libs orvex) */
#include <orvex.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>

enum { HEIGHT = 48, WIDTH = 64 };
static const uint16_t kBlack = 256, kWhite = 4095, kBadPixel = 0;

/* A colour gradient as an RGGB sensor records it, with two dead sites. */
static void make_mosaic(uint16_t* mosaic) {
    static const uint32_t rggb[4] = {0, 1, 1, 2};
    for (int r = 0; r < HEIGHT; ++r)
        for (int c = 0; c < WIDTH; ++c) {
            const double scene[3] = {(double)c / WIDTH, 0.5, (double)r / HEIGHT};
            const double light = scene[rggb[(r % 2) * 2 + c % 2]];
            mosaic[r * WIDTH + c] = (uint16_t)(kBlack + light * (kWhite - kBlack));
        }
    mosaic[10 * WIDTH + 20] = kBadPixel;
    mosaic[31 * WIDTH + 7] = kBadPixel;
}

static int check(const char* step, orvex_status status) {
    if (status != ORVEX_OK) fprintf(stderr, "%s failed with status %d\n", step, (int)status);
    return status == ORVEX_OK;
}

int main(int argc, char** argv) {
    uint16_t* mosaic = malloc(sizeof(uint16_t) * HEIGHT * WIDTH);
    float* linear = malloc(sizeof(float) * HEIGHT * WIDTH);
    float* rgb = malloc(sizeof(float) * HEIGHT * WIDTH * 3);
    uint8_t* out = malloc(HEIGHT * WIDTH * 3);
    if (!mosaic || !linear || !rgb || !out) return 1;
    make_mosaic(mosaic);

    orvex_image raw = {mosaic, HEIGHT, WIDTH, 1, ORVEX_DTYPE_UINT16, 0, 0};
    orvex_image cfa = {linear, HEIGHT, WIDTH, 1, ORVEX_DTYPE_FLOAT32, 0, 0};
    orvex_image image = {rgb, HEIGHT, WIDTH, 3, ORVEX_DTYPE_FLOAT32, 0, 0};
    orvex_image output = {out, HEIGHT, WIDTH, 3, ORVEX_DTYPE_UINT8, 0, 0};

    /* 1. Repair the dead sites in place; green sites lie where row + column
     *    is odd, which is Bayer phase 1. */
    int ok = check("bad pixels", orvex_fix_bad_pixels_constant(&raw, &raw, kBadPixel, 1));
    /* 2. Black 256 and white 4095 to linear floats in 0..1. */
    const float black = kBlack, white = kWhite;
    ok = ok &&
         check("normalise", orvex_normalize_raw(&raw, &cfa, &black, 1, 1, 1, &white, 1, NULL, 0, NULL, 0, NULL, 0));
    /* 3. Demosaic the RGGB mosaic to three channels. */
    static const uint32_t rggb[4] = {0, 1, 1, 2};
    ok = ok && check("demosaic", orvex_bilinear_demosaic(&cfa, &image, rggb));
    /* 4. Camera colours to output colours (white balance folded in), in place. */
    static const float camera_to_output[9] = {1.60f, -0.45f, -0.15f, -0.20f, 1.35f, -0.15f, 0.05f, -0.50f, 1.45f};
    ok = ok &&
         check("colour", orvex_transform_color(&image, &image, NULL, 0, camera_to_output, NULL, 0, 0, 0, false));
    /* 5. Exposure: 0.8 becomes white, with a soft toe around black 0.02. */
    ok = ok && check("exposure", orvex_apply_exposure_ramp(&image, &image, 0.8, 0.02, 0.04, false));
    /* 6. Floats in 0..1 to 8-bit samples. */
    ok = ok && check("8-bit", orvex_convert_dtype(&image, &output, 0, 8, -1.0f));
    if (!ok) return 1;

    uint32_t checksum = 0;
    for (size_t i = 0; i < (size_t)HEIGHT * WIDTH * 3; ++i)
        checksum = checksum * 31u + out[i];
    printf("developed %dx%d pixels, checksum %08x\n", WIDTH, HEIGHT, (unsigned)checksum);
    if (argc > 1) {
        FILE* file = fopen(argv[1], "wb");
        if (!file) return 1;
        fprintf(file, "P6\n%d %d\n255\n", WIDTH, HEIGHT);
        fwrite(out, 1, (size_t)HEIGHT * WIDTH * 3, file);
        fclose(file);
    }
    free(mosaic);
    free(linear);
    free(rgb);
    free(out);
    return 0;
}
