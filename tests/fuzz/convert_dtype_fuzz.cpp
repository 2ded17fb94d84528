// orvex_convert_dtype over every type pair, bit depth and limit, separate
// buffers or one buffer for types of the same size.
#include "fuzz_call.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace orvex::fuzz;
    Decoder in(data, size);
    const uint32_t src_type = in.dtype(), dst_type = in.dtype();
    const Shape shape = decode_shape(in, in.in_range<uint64_t>(0, 4), src_type);
    Image src = make_image(in, shape, src_type);
    Image dst = make_image(in, decode_partner_shape(in, shape, shape.channels, dst_type), dst_type);
    const int32_t src_bits = in.scalar_int(), dst_bits = in.scalar_int();
    const float limit = in.scalar_float();
    const bool in_place = !src.hostile && sample_bytes(src_type) == sample_bytes(dst_type) && in.flag();
    if (in_place) dst.desc.data = src.desc.data;
    const Block& written = in_place ? src.block : dst.block;
    on_every_isa(written, dst_type, src.hostile || dst.hostile,
                 [&] { return orvex_convert_dtype(&src.desc, &dst.desc, src_bits, dst_bits, limit); });
    return 0;
}
