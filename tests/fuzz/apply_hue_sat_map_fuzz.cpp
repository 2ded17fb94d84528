// orvex_apply_hue_sat_map with 2-D and 3-D tables of any small size.
#include "fuzz_call.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace orvex::fuzz;
    Decoder in(data, size);
    const int32_t hue = in.table_count(1, 8), sat = in.table_count(1, 6);
    const int32_t val = in.rarely() ? in.table_count(0, 0) : in.in_range<int32_t>(0, 5);
    const uint32_t type = in.rarely() ? in.dtype() : ORVEX_DTYPE_FLOAT32;
    Image image = make_image(in, decode_shape(in, in.rarely() ? in.byte() % 5 : 3, type), type);
    const int64_t entries = hue > 0 && sat > 0 && val >= 0 ? int64_t{hue} * sat * (val > 1 ? val : 1) * 3 : 0;
    const Block table = in.floats(entries);
    const bool null_table = in.rarely();
    on_every_isa(image.block, type, image.hostile, [&] {
        return orvex_apply_hue_sat_map(&image.desc, null_table ? nullptr : table.as<float>(), hue, sat, val);
    });
    return 0;
}
