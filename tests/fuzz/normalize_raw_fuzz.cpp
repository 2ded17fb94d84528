// orvex_normalize_raw on the fast cases and the general rule, with optional
// arrays present, absent or half given.
#include "fuzz_call.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace orvex::fuzz;
    Decoder in(data, size);
    const int32_t rows = in.table_count(1, 4), cols = in.table_count(1, 4), channels = in.table_count(1, 4);
    const int32_t white_count = in.table_count(1, 4);
    const uint32_t src_type = in.rarely() ? in.dtype() : in.flag() ? ORVEX_DTYPE_UINT16 : ORVEX_DTYPE_FLOAT32;
    const uint32_t dst_type = in.rarely() ? in.dtype() : ORVEX_DTYPE_FLOAT32;
    const uint64_t image_channels = in.rarely() ? in.in_range<uint64_t>(0, 5) : static_cast<uint64_t>(channels);
    const Shape shape = decode_shape(in, image_channels, src_type);
    Image src = make_image(in, shape, src_type);
    Image dst = make_image(in, decode_partner_shape(in, shape, image_channels, dst_type), dst_type);
    const int64_t pattern = rows > 0 && cols > 0 && channels > 0 ? int64_t{rows} * cols * channels : 0;
    const Block black = in.floats(pattern);
    const Block white = in.floats(white_count);
    // Optional arrays: a pointer and a count, either of which may disable it.
    const int32_t h_count = in.flag() ? in.in_range<int32_t>(-1, 5) : 0;
    const int32_t v_count = in.flag() ? in.in_range<int32_t>(-1, 5) : 0;
    const int32_t table_count = in.flag() ? (in.rarely() ? 65536 : in.in_range<int32_t>(-1, 300)) : 0;
    const Block delta_h = in.floats(h_count), delta_v = in.floats(v_count);
    Block table(table_count > 0 ? static_cast<size_t>(table_count) * 2 : 0);
    in.fill(table, ORVEX_DTYPE_UINT16);
    const bool null_h = in.flag(), null_v = in.flag(), null_table = in.flag(), null_black = in.rarely(64);
    const bool in_place = !src.hostile && src_type == ORVEX_DTYPE_FLOAT32 && dst_type == ORVEX_DTYPE_FLOAT32 &&
                          dst.desc.channels == src.desc.channels && in.flag();
    if (in_place) dst.desc.data = src.desc.data;
    const Block& written = in_place ? src.block : dst.block;
    on_every_isa(written, dst_type, src.hostile || dst.hostile, [&] {
        return orvex_normalize_raw(&src.desc, &dst.desc, null_black ? nullptr : black.as<float>(), rows, cols,
                                   channels, white.as<float>(), white_count, null_h ? nullptr : delta_h.as<float>(),
                                   h_count, null_v ? nullptr : delta_v.as<float>(), v_count,
                                   null_table ? nullptr : table.as<uint16_t>(), table_count);
    });
    return 0;
}
