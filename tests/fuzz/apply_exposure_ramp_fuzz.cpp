// orvex_apply_exposure_ramp with any levels and toe, in place or not.
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
    const double white = in.scalar_double(), black = in.scalar_double(), toe = in.scalar_double();
    const bool unclipped = in.flag();
    const bool in_place =
        !src.hostile && src_type == dst_type && dst.desc.channels == src.desc.channels && in.flag();
    if (in_place) dst.desc.data = src.desc.data;
    const Block& written = in_place ? src.block : dst.block;
    on_every_isa(written, dst_type, src.hostile || dst.hostile,
                 [&] { return orvex_apply_exposure_ramp(&src.desc, &dst.desc, white, black, toe, unclipped); });
    return 0;
}
