// orvex_vng_demosaic: unsupported whatever it is given, and it writes nothing.
#include "fuzz_call.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace orvex::fuzz;
    Decoder in(data, size);
    const uint32_t dtype = in.dtype();
    const Shape shape = decode_shape(in, 1, dtype);
    Image src = make_image(in, shape, dtype);
    Image dst = make_image(in, decode_partner_shape(in, shape, 3, ORVEX_DTYPE_FLOAT32), ORVEX_DTYPE_FLOAT32);
    const uint32_t pattern[4] = {0, 1, 1, 2};
    const bool null_src = in.flag(), null_dst = in.flag(), null_pattern = in.flag();
    const orvex_status status = on_every_isa(dst.block, ORVEX_DTYPE_FLOAT32, false, [&] {
        return orvex_vng_demosaic(null_src ? nullptr : &src.desc, null_dst ? nullptr : &dst.desc,
                                  null_pattern ? nullptr : pattern);
    });
    if (status != ORVEX_ERR_UNSUPPORTED) fail("vng demosaic did not report unsupported");
    return 0;
}
