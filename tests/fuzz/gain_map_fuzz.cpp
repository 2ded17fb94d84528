// orvex_apply_gain_map: any area, channel range, pitches and placement.
#include "fuzz_call.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace orvex::fuzz;
    Decoder in(data, size);
    const int32_t points_v = in.table_count(1, 5), points_h = in.table_count(1, 5), planes = in.table_count(1, 4);
    const uint32_t type = in.rarely() ? in.dtype() : ORVEX_DTYPE_FLOAT32;
    Image image = make_image(in, decode_shape(in, in.rarely() ? in.byte() % 5 : 3, type), type);
    const int64_t entries = points_v > 0 && points_h > 0 && planes > 0 ? int64_t{points_v} * points_h * planes : 0;
    const Block map = in.floats(entries);
    const int32_t top = in.scalar_int(), left = in.scalar_int(), bottom = in.scalar_int(), right = in.scalar_int();
    const int32_t plane = in.scalar_int(), plane_count = in.scalar_int();
    const int32_t row_pitch = in.scalar_int(), col_pitch = in.scalar_int();
    const double spacing_v = in.scalar_double(), spacing_h = in.scalar_double();
    const double origin_v = in.scalar_double(), origin_h = in.scalar_double();
    const bool null_map = in.rarely();
    on_every_isa(image.block, type, image.hostile, [&] {
        return orvex_apply_gain_map(&image.desc, null_map ? nullptr : map.as<float>(), points_v, points_h, planes,
                                    top, left, bottom, right, plane, plane_count, row_pitch, col_pitch, spacing_v,
                                    spacing_h, origin_v, origin_h);
    });
    return 0;
}
