// orvex_apply_profile_gain_table_map with any placement, gamma and scale.
#include "fuzz_call.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace orvex::fuzz;
    Decoder in(data, size);
    const int32_t points_v = in.table_count(1, 5), points_h = in.table_count(1, 5), points_n = in.table_count(1, 6);
    const uint32_t type = in.rarely() ? in.dtype() : ORVEX_DTYPE_FLOAT32;
    Image image = make_image(in, decode_shape(in, in.rarely() ? in.byte() % 5 : 3, type), type);
    const int64_t entries =
        points_v > 0 && points_h > 0 && points_n > 0 ? int64_t{points_v} * points_h * points_n : 0;
    const Block table = in.floats(entries), weights = in.floats(5);
    const float spacing_v = in.scalar_float(), spacing_h = in.scalar_float();
    const float origin_v = in.scalar_float(), origin_h = in.scalar_float();
    const float gamma = in.scalar_float(), input_scale = in.scalar_float();
    const bool null_table = in.rarely(), null_weights = in.rarely();
    on_every_isa(image.block, type, image.hostile, [&] {
        return orvex_apply_profile_gain_table_map(&image.desc, null_table ? nullptr : table.as<float>(), points_v,
                                                  points_h, spacing_v, spacing_h, origin_v, origin_h, points_n,
                                                  null_weights ? nullptr : weights.as<float>(), gamma, input_scale);
    });
    return 0;
}
