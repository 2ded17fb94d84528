// orvex_warp_rectilinear: bilinear and cubic, any planes, coefficients,
// tangential terms and centre.
#include "fuzz_call.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace orvex::fuzz;
    Decoder in(data, size);
    const int32_t planes = in.table_count(1, 4), count = in.table_count(1, 6);
    const uint32_t src_type = in.rarely() ? in.dtype() : ORVEX_DTYPE_FLOAT32;
    const uint32_t dst_type = in.rarely() ? in.dtype() : ORVEX_DTYPE_FLOAT32;
    const Shape shape = decode_shape(in, in.byte() % 5, src_type, 24);
    Image src = make_image(in, shape, src_type);
    Image dst = make_image(in, decode_partner_shape(in, shape, shape.channels, dst_type), dst_type);
    const Block coefficients = in.doubles(planes > 0 && count > 0 ? int64_t{planes} * count : 0);
    const Block tangential = in.doubles(planes > 0 ? 2 * int64_t{planes} : 0);
    const double center_x = in.scalar_double(), center_y = in.scalar_double();
    const bool cubic = in.flag(), null_coefficients = in.rarely(), null_tangential = in.flag();
    if (tracing()) {
        std::fprintf(stderr, "planes %d count %d centre %g %g cubic %d tangential %s\n", planes, count, center_x,
                     center_y, cubic, null_tangential ? "null" : "set");
        for (int64_t i = 0; i < int64_t{planes} * count && !null_coefficients; ++i)
            std::fprintf(stderr, "  k[%lld] = %g\n", static_cast<long long>(i), coefficients.as<double>()[i]);
        for (int64_t i = 0; i < 2 * int64_t{planes} && !null_tangential; ++i)
            std::fprintf(stderr, "  t[%lld] = %g\n", static_cast<long long>(i), tangential.as<double>()[i]);
    }
    on_every_isa(dst.block, dst_type, src.hostile || dst.hostile, [&] {
        return orvex_warp_rectilinear(&src.desc, &dst.desc, null_coefficients ? nullptr : coefficients.as<double>(),
                                      planes, count, null_tangential ? nullptr : tangential.as<double>(), center_x,
                                      center_y, cubic);
    });
    return 0;
}
