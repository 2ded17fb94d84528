/* Uses an installed orvex: prints the library's version and converts a
 * 12-bit sample row to floats. The first argument, when given, is the version
 * the package metadata announces; the library must report the same. */
#include <orvex.h>
#include <stdio.h>
#include <string.h>

int main(int argc, char** argv) {
    const char* version = orvex_version();
    printf("orvex %s\n", version);
    if (argc > 1 && strcmp(version, argv[1]) != 0) {
        fprintf(stderr, "library reports %s, package announces %s\n", version, argv[1]);
        return 1;
    }

    uint16_t raw[4] = {0, 1365, 2730, 4095};
    float out[4] = {0};
    orvex_image src = {raw, 1, 4, 1, ORVEX_DTYPE_UINT16, 0, 0};
    orvex_image dst = {out, 1, 4, 1, ORVEX_DTYPE_FLOAT32, 0, 0};
    orvex_status status = orvex_convert_dtype(&src, &dst, 12, 0, -1.0f);
    if (status != ORVEX_OK || out[0] != 0.0f || out[3] != 1.0f) {
        fprintf(stderr, "orvex_convert_dtype: status %d, last sample %g\n", (int)status, (double)out[3]);
        return 1;
    }
    printf("converted: %g %g %g %g\n", (double)out[0], (double)out[1], (double)out[2], (double)out[3]);
    return 0;
}
