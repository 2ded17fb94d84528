// orvex_fix_vignette: any channel count, coefficients and centre.
#include "fuzz_call.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace orvex::fuzz;
    Decoder in(data, size);
    const int32_t count = in.table_count(1, 7);
    const uint32_t type = in.rarely() ? in.dtype() : ORVEX_DTYPE_FLOAT32;
    Image image = make_image(in, decode_shape(in, in.byte() % 6, type), type);
    const Block coefficients = in.doubles(count);
    const double center_x = in.scalar_double(), center_y = in.scalar_double();
    const bool null_coefficients = in.rarely();
    on_every_isa(image.block, type, image.hostile, [&] {
        return orvex_fix_vignette(&image.desc, null_coefficients ? nullptr : coefficients.as<double>(), count,
                                  center_x, center_y);
    });
    return 0;
}
