// orvex_bilinear_demosaic with any 2 x 2 pattern, valid or not.
#include "fuzz_call.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace orvex::fuzz;
    Decoder in(data, size);
    const uint32_t src_type = in.rarely() ? in.dtype() : ORVEX_DTYPE_FLOAT32;
    const uint32_t dst_type = in.rarely() ? in.dtype() : ORVEX_DTYPE_FLOAT32;
    const Shape shape = decode_shape(in, in.rarely() ? in.in_range<uint64_t>(0, 4) : 1, src_type);
    Image src = make_image(in, shape, src_type);
    Image dst =
        make_image(in, decode_partner_shape(in, shape, in.rarely() ? in.byte() % 5 : 3, dst_type), dst_type);
    uint32_t pattern[4];
    for (uint32_t& code : pattern)
        code = in.rarely() ? in.in_range<uint32_t>(3, UINT32_MAX) : in.in_range<uint32_t>(0, 2);
    on_every_isa(dst.block, dst_type, src.hostile || dst.hostile,
                 [&] { return orvex_bilinear_demosaic(&src.desc, &dst.desc, pattern); });
    return 0;
}
