/* Compiled as C: the public header must be plain C. */
#include "orvex.h"

size_t orvex_test_image_size_from_c(void) { return sizeof(orvex_image); }
size_t orvex_test_bool_size_from_c(void) { return sizeof(bool); }
size_t orvex_test_reserved_offset_from_c(void) { return offsetof(orvex_image, reserved); }
