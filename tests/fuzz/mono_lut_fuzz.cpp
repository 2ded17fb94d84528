// orvex_mono_lut over every type pair, table size and bit depth.
#include "fuzz_call.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace orvex::fuzz;
    Decoder in(data, size);
    const uint32_t src_type = in.dtype(), dst_type = in.dtype();
    const Shape shape = decode_shape(in, in.rarely() ? in.byte() % 5 : 1, src_type, 64);
    Image src = make_image(in, shape, src_type);
    Image dst =
        make_image(in, decode_partner_shape(in, shape, in.rarely() ? in.byte() % 5 : 1, dst_type), dst_type);
    const uint8_t pick = in.byte() % 8;
    const uint64_t lut_size = pick == 0   ? 256
                              : pick == 1 ? 65536
                              : pick == 2 ? in.in_range<uint64_t>(0, 1)
                                          : in.in_range<uint64_t>(2, 300);
    const Block lut = in.floats(static_cast<int64_t>(lut_size));
    const int32_t src_bits = in.scalar_int(), dst_bits = in.scalar_int();
    const bool null_lut = in.rarely();
    const bool in_place =
        !src.hostile && src_type == dst_type && dst.desc.channels == src.desc.channels && in.flag();
    if (in_place) dst.desc.data = src.desc.data;
    const Block& written = in_place ? src.block : dst.block;
    on_every_isa(written, dst_type, src.hostile || dst.hostile, [&] {
        return orvex_mono_lut(&src.desc, &dst.desc, null_lut ? nullptr : lut.as<float>(), lut_size, src_bits,
                              dst_bits);
    });
    return 0;
}
