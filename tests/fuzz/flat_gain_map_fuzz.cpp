// orvex_apply_flat_gain_map with any grid size on any image size.
#include "fuzz_call.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace orvex::fuzz;
    Decoder in(data, size);
    const int32_t rows = in.table_count(2, 9), cols = in.table_count(2, 9);
    const uint32_t type = in.rarely() ? in.dtype() : ORVEX_DTYPE_FLOAT32;
    Image image = make_image(in, decode_shape(in, in.rarely() ? in.byte() % 5 : 1, type, 64), type);
    const Block map = in.floats(rows > 0 && cols > 0 ? int64_t{rows} * cols : 0);
    const bool null_map = in.rarely();
    on_every_isa(image.block, type, image.hostile, [&] {
        return orvex_apply_flat_gain_map(&image.desc, null_map ? nullptr : map.as<float>(), rows, cols);
    });
    return 0;
}
