// orvex_clip_and_transform_color with any bounds and matrix, in place or not.
#include "fuzz_call.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace orvex::fuzz;
    Decoder in(data, size);
    const uint32_t src_type = in.rarely() ? in.dtype() : ORVEX_DTYPE_FLOAT32;
    const uint32_t dst_type = in.rarely() ? in.dtype() : ORVEX_DTYPE_FLOAT32;
    const Shape shape = decode_shape(in, in.rarely() ? in.byte() % 5 : 3, src_type, 64);
    Image src = make_image(in, shape, src_type);
    Image dst =
        make_image(in, decode_partner_shape(in, shape, in.rarely() ? in.byte() % 5 : 3, dst_type), dst_type);
    const Block limits = in.floats(3), matrix = in.floats(9);
    const bool null_limits = in.rarely(), null_matrix = in.rarely();
    const bool in_place =
        !src.hostile && src_type == dst_type && dst.desc.channels == src.desc.channels && in.flag();
    if (in_place) dst.desc.data = src.desc.data;
    const Block& written = in_place ? src.block : dst.block;
    on_every_isa(written, dst_type, src.hostile || dst.hostile, [&] {
        return orvex_clip_and_transform_color(&src.desc, &dst.desc, null_limits ? nullptr : limits.as<float>(),
                                              null_matrix ? nullptr : matrix.as<float>());
    });
    return 0;
}
