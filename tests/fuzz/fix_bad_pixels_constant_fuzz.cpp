// orvex_fix_bad_pixels_constant: any constant and phase, in place or not.
#include "fuzz_call.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace orvex::fuzz;
    Decoder in(data, size);
    const uint32_t src_type = in.rarely() ? in.dtype() : ORVEX_DTYPE_UINT16;
    const uint32_t dst_type = in.rarely() ? in.dtype() : ORVEX_DTYPE_UINT16;
    const Shape shape = decode_shape(in, in.rarely() ? in.byte() % 5 : 1, src_type, 64);
    Image src = make_image(in, shape, src_type);
    Image dst = make_image(in, decode_partner_shape(in, shape, shape.channels, dst_type), dst_type);
    // Few distinct values, so that the constant is met often.
    if (src.block.size() > 0 && in.flag())
        for (size_t i = 0; i < src.block.size(); ++i)
            src.block.data()[i] &= 1;
    const int32_t constant = in.flag() ? in.in_range<int32_t>(0, 257) : in.scalar_int();
    const uint32_t phase = in.flag() ? in.in_range<uint32_t>(0, 3) : in.in_range<uint32_t>(0, UINT32_MAX);
    const bool in_place = !src.hostile && in.flag();
    if (in_place) dst.desc.data = src.desc.data;
    const Block& written = in_place ? src.block : dst.block;
    on_every_isa(written, dst_type, src.hostile || dst.hostile,
                 [&] { return orvex_fix_bad_pixels_constant(&src.desc, &dst.desc, constant, phase); });
    return 0;
}
