// orvex_transform_color: every stage set, type pair, lookup mode, bit depth
// and hue flag; curve lengths honest, empty, or too long to be read.
#include "fuzz_call.h"

namespace {

// A curve length: mostly one that the curve really has; now and then one
// that the call must reject without reading (0, or past 2^24 + 1).
uint64_t curve_length(orvex::fuzz::Decoder& in, bool& real) {
    real = true;
    if (in.rarely()) {
        real = false;
        return in.flag() ? 0 : (uint64_t{1} << 24) + 2 + in.byte();
    }
    return in.flag() ? 256 : in.in_range<uint64_t>(1, 300);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace orvex::fuzz;
    Decoder in(data, size);
    const uint32_t src_type = in.dtype(), dst_type = in.dtype();
    const Shape shape = decode_shape(in, in.rarely() ? in.byte() % 5 : 3, src_type);
    Image src = make_image(in, shape, src_type);
    Image dst =
        make_image(in, decode_partner_shape(in, shape, in.rarely() ? in.byte() % 5 : 3, dst_type), dst_type);
    bool input_real = false, output_real = false;
    const uint64_t input_len = curve_length(in, input_real), output_len = curve_length(in, output_real);
    const Block input = in.floats(input_real ? static_cast<int64_t>(input_len) : 1);
    const Block output = in.floats(output_real ? static_cast<int64_t>(output_len) : 1);
    const Block matrix = in.floats(9);
    const bool use_input = in.flag(), use_matrix = in.flag(), use_output = in.flag();
    const int32_t src_bits = in.scalar_int(), dst_bits = in.scalar_int();
    const bool preserve_hue = in.flag();
    const bool in_place =
        !src.hostile && src_type == dst_type && dst.desc.channels == src.desc.channels && in.flag();
    if (in_place) dst.desc.data = src.desc.data;
    const Block& written = in_place ? src.block : dst.block;
    on_every_isa(written, dst_type, src.hostile || dst.hostile, [&] {
        return orvex_transform_color(&src.desc, &dst.desc, use_input ? input.as<float>() : nullptr, input_len,
                                     use_matrix ? matrix.as<float>() : nullptr,
                                     use_output ? output.as<float>() : nullptr, output_len, src_bits, dst_bits,
                                     preserve_hue);
    });
    return 0;
}
