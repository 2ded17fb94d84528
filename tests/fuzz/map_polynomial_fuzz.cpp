// orvex_map_polynomial: any area, channel range, pitches and degree.
#include "fuzz_call.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace orvex::fuzz;
    Decoder in(data, size);
    const int32_t degree = in.rarely() ? (in.flag() ? INT32_MIN : -1) : in.in_range<int32_t>(0, 12);
    const uint32_t type = in.rarely() ? in.dtype() : ORVEX_DTYPE_FLOAT32;
    Image image = make_image(in, decode_shape(in, in.rarely() ? in.byte() % 5 : (in.flag() ? 1 : 3), type), type);
    const Block coefficients = in.floats(degree >= 0 ? int64_t{degree} + 1 : 0);
    const int32_t top = in.scalar_int(), left = in.scalar_int(), bottom = in.scalar_int(), right = in.scalar_int();
    const int32_t plane = in.scalar_int(), planes = in.scalar_int();
    const int32_t row_pitch = in.scalar_int(), col_pitch = in.scalar_int();
    const bool null_coefficients = in.rarely();
    on_every_isa(image.block, type, image.hostile, [&] {
        return orvex_map_polynomial(&image.desc, top, left, bottom, right, plane, planes, row_pitch, col_pitch,
                                    null_coefficients ? nullptr : coefficients.as<float>(), degree);
    });
    return 0;
}
