#include "golden_cases.h"

#include <array>
#include <cstring>
#include <iterator>
#include <limits>
#include <string>
#include <utility>

namespace orvex::testing {

Api linked_api() {
    Api api;
#define ORVEX_GOLDEN_LINK(name) api.name = &orvex_##name;
    ORVEX_GOLDEN_EXPORTS(ORVEX_GOLDEN_LINK)
#undef ORVEX_GOLDEN_LINK
    return api;
}

namespace {

constexpr float kInf = std::numeric_limits<float>::infinity();
constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();

// FNV-1a, 64 bits.
class Hash {
public:
    void bytes(const void* data, size_t size) {
        const auto* p = static_cast<const unsigned char*>(data);
        for (size_t i = 0; i < size; ++i)
            value_ = (value_ ^ p[i]) * 0x100000001b3ull;
    }
    template <class T>
    void add(const T& scalar) {
        bytes(&scalar, sizeof scalar);
    }
    uint64_t value() const { return value_; }

private:
    uint64_t value_ = 0xcbf29ce484222325ull;
};

// splitmix64, seeded by the case name so that cases do not depend on each
// other's order.
class Random {
public:
    explicit Random(const std::string& seed) {
        Hash h;
        h.bytes(seed.data(), seed.size());
        state_ = h.value();
    }
    uint64_t next() {
        uint64_t z = (state_ += 0x9e3779b97f4a7c15ull);
        z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ull;
        z = (z ^ (z >> 27)) * 0x94d049bb133111ebull;
        return z ^ (z >> 31);
    }
    // Uniform in [lo, hi), from 24 random bits.
    float uniform(float lo, float hi) { return lo + (hi - lo) * (static_cast<float>(next() >> 40) * 0x1p-24f); }
    // Mostly normalised values slightly beyond 0..1; one in eight a special
    // value: NaN, infinities, signed zeros, subnormals, exact 1, large values.
    float sample() {
        static constexpr float kSpecials[] = {
            kNaN, -kNaN, kInf, -kInf,         0.0f,           -0.0f,  0x1p-149f, -0x1p-149f, 0x1.fffffcp-127f,
            1.0f, -1.0f, 0.5f, 0x1.000002p0f, 0x1.fffffep-1f, 3.5e9f, -7.25f};
        if (next() % 8 == 0) return kSpecials[next() % std::size(kSpecials)];
        return uniform(-0.125f, 1.125f);
    }
    std::vector<float> samples(size_t n) {
        std::vector<float> v(n);
        for (float& x : v)
            x = sample();
        return v;
    }
    std::vector<float> uniforms(size_t n, float lo, float hi) {
        std::vector<float> v(n);
        for (float& x : v)
            x = uniform(lo, hi);
        return v;
    }

private:
    uint64_t state_;
};

// An image with its own buffer.
struct Image {
    std::vector<unsigned char> bytes;
    mutable orvex_image desc{};

    Image(uint32_t dtype, uint64_t height, uint64_t width, uint64_t channels) {
        const size_t size = dtype == ORVEX_DTYPE_UINT8 ? 1 : dtype == ORVEX_DTYPE_UINT16 ? 2 : 4;
        bytes.assign(size * height * width * channels, 0xa5);  // "not written" pattern
        desc = {nullptr, height, width, channels, dtype, 0, 0};
    }
    size_t count() const { return desc.height * desc.width * desc.channels; }
    template <class T>
    T* as() {
        return reinterpret_cast<T*>(bytes.data());
    }
    // The descriptor over the current buffer.
    const orvex_image* get() const {
        desc.data = const_cast<unsigned char*>(bytes.data());
        return &desc;
    }
};

// An image of random samples of its type (integers of every value, floats
// with special values).
Image random_image(Random& random, uint32_t dtype, uint64_t height, uint64_t width, uint64_t channels) {
    Image image(dtype, height, width, channels);
    for (size_t i = 0; i < image.count(); ++i) {
        if (dtype == ORVEX_DTYPE_UINT8)
            image.as<uint8_t>()[i] = static_cast<uint8_t>(random.next());
        else if (dtype == ORVEX_DTYPE_UINT16)
            image.as<uint16_t>()[i] = static_cast<uint16_t>(random.next() % 4 == 0 ? 65535 : random.next());
        else
            image.as<float>()[i] = random.sample();
    }
    return image;
}

// The bytes a call wrote. Every NaN of a float output counts as the quiet
// NaN 0x7fc00000: its sign and payload are not results (compilers may swap
// the operands of commutative operations, and the CPU propagates the first
// NaN operand).
struct Output {
    std::vector<unsigned char> bytes;
};

Output output_of(Image& image) {
    Output out{std::move(image.bytes)};
    if (image.desc.dtype == ORVEX_DTYPE_FLOAT32) {
        for (size_t i = 0; i + 4 <= out.bytes.size(); i += 4) {
            float x;
            std::memcpy(&x, &out.bytes[i], 4);
            if (x != x) {
                const uint32_t quiet_nan = 0x7fc00000;
                std::memcpy(&out.bytes[i], &quiet_nan, 4);
            }
        }
    }
    return out;
}

// Runs `call` over image shapes whose rows end in every vector tail length
// (widths up to 33) and one larger shape, hashing each call's status and
// output bytes.
template <class Call>
uint64_t over_shapes(uint64_t min_height, uint64_t min_width, Call call) {
    Hash hash;
    auto one = [&](uint64_t height, uint64_t width) {
        Output output;
        const orvex_status status = call(height, width, output);
        hash.add(status);
        hash.bytes(output.bytes.data(), output.bytes.size());
    };
    for (uint64_t width = min_width; width <= 33; ++width)
        one(min_height, width);
    one(min_height + 14, 45);
    return hash.value();
}

constexpr uint32_t kTypes[] = {ORVEX_DTYPE_UINT8, ORVEX_DTYPE_UINT16, ORVEX_DTYPE_FLOAT32};
const char* type_name(uint32_t dtype) {
    return dtype == ORVEX_DTYPE_UINT8 ? "u8" : dtype == ORVEX_DTYPE_UINT16 ? "u16" : "f32";
}

using Cases = std::vector<GoldenCase>;

void add_frame_cases(Cases& cases) {
    cases.push_back({"version", [](const Api& api) {
                         Hash hash;
                         const char* text = api.version();
                         hash.bytes(text, std::strlen(text) + 1);
                         return hash.value();
                     }});
    struct Limits {
        const char* name;
        int32_t src_bits, dst_bits;
        float clip;
    };
    for (uint32_t src : kTypes)
        for (uint32_t dst : kTypes)
            for (Limits limits :
                 {Limits{"full", 0, 0, -1.0f}, Limits{"clipped", 0, 0, 0.75f}, Limits{"bits", 12, 10, 200.0f}}) {
                std::string name =
                    std::string("convert_dtype/") + type_name(src) + "_" + type_name(dst) + "/" + limits.name;
                cases.push_back({name, [=](const Api& api) {
                                     Random random(name);
                                     return over_shapes(2, 1, [&](uint64_t h, uint64_t w, auto& out) {
                                         const Image in = random_image(random, src, h, w, 3);
                                         Image result(dst, h, w, 3);
                                         const orvex_status status = api.convert_dtype(
                                             in.get(), result.get(), limits.src_bits, limits.dst_bits, limits.clip);
                                         out = output_of(result);
                                         return status;
                                     });
                                 }});
            }
}

void add_raw_cases(Cases& cases) {
    struct Normalize {
        const char* name;
        uint32_t src;
        int32_t pattern_rows, pattern_cols, channels;
        bool deltas, table;
    };
    const Normalize normalizes[] = {
        {"u16_period1", ORVEX_DTYPE_UINT16, 1, 1, 1, false, false},
        {"u16_period2", ORVEX_DTYPE_UINT16, 2, 2, 1, false, false},
        {"u16_period3", ORVEX_DTYPE_UINT16, 3, 3, 1, false, false},
        {"f32_period1", ORVEX_DTYPE_FLOAT32, 1, 1, 1, false, false},
        {"f32_period2", ORVEX_DTYPE_FLOAT32, 2, 2, 1, false, false},
        {"f32_period3", ORVEX_DTYPE_FLOAT32, 3, 3, 1, false, false},
        {"u16_general", ORVEX_DTYPE_UINT16, 2, 3, 3, true, true},
        {"f32_general", ORVEX_DTYPE_FLOAT32, 3, 2, 1, true, false},
        {"u16_table", ORVEX_DTYPE_UINT16, 2, 2, 1, false, true},
    };
    for (const Normalize& n : normalizes) {
        const std::string name = std::string("normalize_raw/") + n.name;
        cases.push_back({name, [=](const Api& api) {
                             Random random(name);
                             const bool integer = n.src == ORVEX_DTYPE_UINT16;
                             const std::vector<float> black = random.uniforms(
                                 n.pattern_rows * n.pattern_cols * n.channels, 0.0f, integer ? 4096.0f : 0.1f);
                             const std::vector<float> white =
                                 random.uniforms(2, integer ? 50000.0f : 0.8f, integer ? 65535.0f : 1.0f);
                             const std::vector<float> delta_h = random.uniforms(5, -20.0f, 20.0f);
                             const std::vector<float> delta_v = random.uniforms(7, -20.0f, 20.0f);
                             std::vector<uint16_t> table(4096);
                             for (size_t i = 0; i < table.size(); ++i)
                                 table[i] = static_cast<uint16_t>(i * 16 + random.next() % 16);
                             return over_shapes(3, 1, [&](uint64_t h, uint64_t w, auto& out) {
                                 const Image in = random_image(random, n.src, h, w, n.channels);
                                 Image result(ORVEX_DTYPE_FLOAT32, h, w, n.channels);
                                 const orvex_status status = api.normalize_raw(
                                     in.get(), result.get(), black.data(), n.pattern_rows, n.pattern_cols,
                                     n.channels, white.data(), 2, n.deltas ? delta_h.data() : nullptr, 5,
                                     n.deltas ? delta_v.data() : nullptr, 7, n.table ? table.data() : nullptr,
                                     static_cast<int32_t>(table.size()));
                                 out = output_of(result);
                                 return status;
                             });
                         }});
    }
    // Bayer layouts take the blended row path, the others the general one.
    const std::pair<const char*, std::array<uint32_t, 4>> layouts[] = {
        {"rggb", {0, 1, 1, 2}}, {"bggr", {2, 1, 1, 0}}, {"grbg", {1, 0, 2, 1}}, {"gbrg", {1, 2, 0, 1}},
        {"rrbb", {0, 0, 2, 2}}, {"gggg", {1, 1, 1, 1}}, {"brgg", {2, 0, 1, 1}}};
    for (const auto& [layout, codes] : layouts) {
        const std::string name = std::string("bilinear_demosaic/") + layout;
        cases.push_back({name, [=](const Api& api) {
                             Random random(name);
                             return over_shapes(1, 1, [&](uint64_t h, uint64_t w, auto& out) {
                                 const Image in = random_image(random, ORVEX_DTYPE_FLOAT32, h + 4, w, 1);
                                 Image result(ORVEX_DTYPE_FLOAT32, h + 4, w, 3);
                                 const orvex_status status =
                                     api.bilinear_demosaic(in.get(), result.get(), codes.data());
                                 out = output_of(result);
                                 return status;
                             });
                         }});
    }
    cases.push_back({"vng_demosaic", [](const Api& api) {
                         Hash hash;
                         Image in(ORVEX_DTYPE_FLOAT32, 4, 4, 1), result(ORVEX_DTYPE_FLOAT32, 4, 4, 3);
                         const uint32_t codes[4] = {0, 1, 1, 2};
                         hash.add(api.vng_demosaic(in.get(), result.get(), codes));
                         hash.bytes(result.bytes.data(), result.bytes.size());
                         return hash.value();
                     }});
    for (uint32_t phase = 0; phase < 5; ++phase)
        for (bool in_place : {false, true}) {
            const std::string name =
                "fix_bad_pixels_constant/phase" + std::to_string(phase) + (in_place ? "/in_place" : "/separate");
            cases.push_back({name, [=](const Api& api) {
                                 Random random(name);
                                 return over_shapes(2, 1, [&](uint64_t h, uint64_t w, auto& out) {
                                     Image in(ORVEX_DTYPE_UINT16, h, w, 1);
                                     for (size_t i = 0; i < in.count(); ++i)
                                         in.as<uint16_t>()[i] = static_cast<uint16_t>(
                                             random.next() % 3 == 0 ? 0 : random.next() % 65536);
                                     Image separate(ORVEX_DTYPE_UINT16, h, w, 1);
                                     Image& result = in_place ? in : separate;
                                     const orvex_status status =
                                         api.fix_bad_pixels_constant(in.get(), result.get(), 0, phase);
                                     out = output_of(result);
                                     return status;
                                 });
                             }});
        }
}

// Colour transforms: every stage set on every pair of sample types, the
// direct first curve of 8-bit sources, and the hue-preserving sets.
void add_color_cases(Cases& cases) {
    enum Stages { single, matrix, input_matrix, matrix_output, input_matrix_output };
    const char* stage_names[] = {"single", "matrix", "input_matrix", "matrix_output", "input_matrix_output"};
    struct Transform {
        std::string name;
        uint32_t src, dst;
        bool input, matrix, output, direct, hue;
        int32_t src_bits, dst_bits;
    };
    std::vector<Transform> transforms;
    for (uint32_t src : kTypes)
        for (uint32_t dst : kTypes) {
            const std::string pair = std::string(type_name(src)) + "_" + type_name(dst);
            for (int s = single; s <= input_matrix_output; ++s) {
                const bool input = s == single || s == input_matrix || s == input_matrix_output;
                const bool output = s == matrix_output || s == input_matrix_output;
                transforms.push_back(
                    {pair + "/" + stage_names[s], src, dst, input, s != single, output, false, false, 0, 0});
                if (src == ORVEX_DTYPE_UINT8 && input)
                    transforms.push_back({pair + "/" + stage_names[s] + "_direct", src, dst, input, s != single,
                                          output, true, false, 0, 0});
            }
            if (src != ORVEX_DTYPE_FLOAT32 || dst != ORVEX_DTYPE_FLOAT32)
                transforms.push_back(
                    {pair + "/input_matrix_output_bits", src, dst, true, true, true, false, false, 12, 10});
        }
    transforms.push_back(
        {"f32_f32/hue", ORVEX_DTYPE_FLOAT32, ORVEX_DTYPE_FLOAT32, true, false, false, false, true, 0, 0});
    for (uint32_t dst : kTypes) {
        const std::string pair = std::string("f32_") + type_name(dst);
        transforms.push_back(
            {pair + "/hue_matrix", ORVEX_DTYPE_FLOAT32, dst, true, true, false, false, true, 0, 0});
        transforms.push_back(
            {pair + "/hue_matrix_output", ORVEX_DTYPE_FLOAT32, dst, true, true, true, false, true, 0, 0});
    }
    for (const Transform& t : transforms) {
        const std::string name = "transform_color/" + t.name;
        cases.push_back(
            {name, [=](const Api& api) {
                 Random random(name);
                 const std::vector<float> input_curve = random.uniforms(t.direct ? 256 : 1000, -0.05f, 1.05f);
                 const std::vector<float> output_curve = random.uniforms(700, -0.05f, 1.05f);
                 const std::vector<float> matrix = random.uniforms(9, -0.5f, 1.5f);
                 return over_shapes(2, 1, [&](uint64_t h, uint64_t w, auto& out) {
                     const Image in = random_image(random, t.src, h, w, 3);
                     Image result(t.dst, h, w, 3);
                     const orvex_status status = api.transform_color(
                         in.get(), result.get(), t.input ? input_curve.data() : nullptr, input_curve.size(),
                         t.matrix ? matrix.data() : nullptr, t.output ? output_curve.data() : nullptr,
                         output_curve.size(), t.src_bits, t.dst_bits, t.hue);
                     out = output_of(result);
                     return status;
                 });
             }});
    }
    for (bool in_place : {false, true}) {
        const std::string name = std::string("clip_and_transform_color/") + (in_place ? "in_place" : "separate");
        cases.push_back({name, [=](const Api& api) {
                             Random random(name);
                             const std::vector<float> limits = {0.9f, kInf, 0.5f};
                             const std::vector<float> matrix = random.uniforms(9, -0.5f, 1.5f);
                             return over_shapes(2, 1, [&](uint64_t h, uint64_t w, auto& out) {
                                 Image in = random_image(random, ORVEX_DTYPE_FLOAT32, h, w, 3);
                                 Image separate(ORVEX_DTYPE_FLOAT32, h, w, 3);
                                 Image& result = in_place ? in : separate;
                                 const orvex_status status = api.clip_and_transform_color(
                                     in.get(), result.get(), limits.data(), matrix.data());
                                 out = output_of(result);
                                 return status;
                             });
                         }});
    }
}

void add_tone_cases(Cases& cases) {
    for (int32_t val_divisions : {0, 4}) {
        const std::string name = "apply_hue_sat_map/" + std::string(val_divisions < 2 ? "2d" : "3d");
        cases.push_back({name, [=](const Api& api) {
                             Random random(name);
                             constexpr int32_t kHue = 6, kSat = 5;
                             std::vector<float> table;
                             for (int32_t i = 0; i < kHue * kSat * (val_divisions < 2 ? 1 : val_divisions); ++i)
                                 for (float v : {random.uniform(-30.0f, 30.0f), random.uniform(0.5f, 1.5f),
                                                 random.uniform(0.5f, 1.5f)})
                                     table.push_back(v);
                             return over_shapes(2, 1, [&](uint64_t h, uint64_t w, auto& out) {
                                 Image image = random_image(random, ORVEX_DTYPE_FLOAT32, h, w, 3);
                                 const orvex_status status =
                                     api.apply_hue_sat_map(image.get(), table.data(), kHue, kSat, val_divisions);
                                 out = output_of(image);
                                 return status;
                             });
                         }});
    }
    for (bool unclipped : {false, true}) {
        const std::string name = std::string("apply_exposure_ramp/") + (unclipped ? "unclipped" : "clipped");
        cases.push_back({name, [=](const Api& api) {
                             Random random(name);
                             return over_shapes(2, 1, [&](uint64_t h, uint64_t w, auto& out) {
                                 const Image in = random_image(random, ORVEX_DTYPE_FLOAT32, h, w, 3);
                                 Image result(ORVEX_DTYPE_FLOAT32, h, w, 3);
                                 const orvex_status status =
                                     api.apply_exposure_ramp(in.get(), result.get(), 0.8, 0.05, 0.2, unclipped);
                                 out = output_of(result);
                                 return status;
                             });
                         }});
    }
    // Gamma 1 and NaN skip the power; the others use the correctly rounded
    // power, so every platform gives the same bytes.
    for (float gamma : {1.0f, kNaN, 2.2f, 1 / 2.4f, 0.0f, -0.5f, 3.0f}) {
        const std::string name = "apply_profile_gain_table_map/gamma_" + std::to_string(gamma);
        cases.push_back({name, [=](const Api& api) {
                             Random random(name);
                             constexpr int32_t kV = 4, kH = 5, kN = 9;
                             const std::vector<float> table = random.uniforms(kV * kH * kN, 0.25f, 2.0f);
                             const float weights[5] = {0.3f, 0.5f, 0.1f, 0.05f, 0.05f};
                             return over_shapes(2, 1, [&](uint64_t h, uint64_t w, auto& out) {
                                 Image image = random_image(random, ORVEX_DTYPE_FLOAT32, h, w, 3);
                                 const orvex_status status = api.apply_profile_gain_table_map(
                                     image.get(), table.data(), kV, kH, 0.3f, 0.25f, -0.05f, 0.02f, kN, weights,
                                     gamma, 1.1f);
                                 out = output_of(image);
                                 return status;
                             });
                         }});
    }
    // Brightness = red and a table of point k holding k: green = 2^-11 then
    // carries N * red^gamma / 2^11 out exactly, so every last bit of the
    // power shows in the bytes (a C runtime's powf misrounds some of these
    // 65,536 pixels).
    for (float gamma : {2.2f, 1 / 2.4f}) {
        const std::string name = "apply_profile_gain_table_map/exact_power_" + std::to_string(gamma);
        cases.push_back({name, [=](const Api& api) {
                             Random random(name);
                             constexpr int32_t kN = 1024;
                             std::vector<float> table(kN);
                             for (int32_t k = 0; k < kN; ++k)
                                 table[k] = static_cast<float>(k);
                             const float weights[5] = {1.0f, 0.0f, 0.0f, 0.0f, 0.0f};
                             Image image(ORVEX_DTYPE_FLOAT32, 256, 256, 3);
                             for (size_t i = 0; i < image.count(); i += 3) {
                                 image.as<float>()[i] = random.uniform(0.0f, 1.0f);
                                 image.as<float>()[i + 1] = 0x1p-11f;
                                 image.as<float>()[i + 2] = 0.0f;
                             }
                             Hash hash;
                             hash.add(api.apply_profile_gain_table_map(image.get(), table.data(), 1, 1, 1.0f, 1.0f,
                                                                       0.0f, 0.0f, kN, weights, gamma, 1.0f));
                             const Output out = output_of(image);
                             hash.bytes(out.bytes.data(), out.bytes.size());
                             return hash.value();
                         }});
    }
    struct Lut {
        const char* name;
        uint64_t size;
        int32_t src_bits, dst_bits;
    };
    for (uint32_t src : kTypes)
        for (uint32_t dst : kTypes)
            for (Lut lut : {Lut{"interpolated", 1000, 0, 0}, Lut{"direct", 256, 0, 0}, Lut{"bits", 4096, 12, 10}}) {
                if (lut.size == 256 && src != ORVEX_DTYPE_UINT8) continue;
                const std::string name =
                    std::string("mono_lut/") + type_name(src) + "_" + type_name(dst) + "/" + lut.name;
                cases.push_back({name, [=](const Api& api) {
                                     Random random(name);
                                     const std::vector<float> table = random.uniforms(lut.size, -0.05f, 1.05f);
                                     return over_shapes(2, 1, [&](uint64_t h, uint64_t w, auto& out) {
                                         const Image in = random_image(random, src, h, w, 1);
                                         Image result(dst, h, w, 1);
                                         const orvex_status status =
                                             api.mono_lut(in.get(), result.get(), table.data(), lut.size,
                                                          lut.src_bits, lut.dst_bits);
                                         out = output_of(result);
                                         return status;
                                     });
                                 }});
            }
}

void add_opcode_cases(Cases& cases) {
    struct Area {
        const char* name;
        int32_t top, left, bottom, right, plane, planes, row_pitch, col_pitch, map_planes;
    };
    const Area areas[] = {{"whole", 0, 0, 0, 0, 0, 3, 1, 1, 3},
                          {"one_plane", 0, 0, 0, 0, 1, 1, 1, 1, 1},
                          {"area_pitch", 1, 2, 20, 30, 0, 2, 2, 3, 2}};
    for (const Area& a : areas) {
        const std::string name = std::string("apply_gain_map/") + a.name;
        cases.push_back({name, [=](const Api& api) {
                             Random random(name);
                             const std::vector<float> map = random.uniforms(3 * 4 * a.map_planes, 0.5f, 2.0f);
                             return over_shapes(2, 1, [&](uint64_t h, uint64_t w, auto& out) {
                                 Image image = random_image(random, ORVEX_DTYPE_FLOAT32, h, w, 3);
                                 const orvex_status status = api.apply_gain_map(
                                     image.get(), map.data(), 3, 4, a.map_planes, a.top, a.left, a.bottom, a.right,
                                     a.plane, a.planes, a.row_pitch, a.col_pitch, 0.4, 0.3, 0.05, -0.1);
                                 out = output_of(image);
                                 return status;
                             });
                         }});
        const std::string cfa_name = std::string("apply_gain_map_cfa/") + a.name;
        cases.push_back({cfa_name, [=](const Api& api) {
                             Random random(cfa_name);
                             const std::vector<float> map = random.uniforms(3 * 4 * a.map_planes, 0.5f, 2.0f);
                             return over_shapes(2, 1, [&](uint64_t h, uint64_t w, auto& out) {
                                 Image image = random_image(random, ORVEX_DTYPE_FLOAT32, h, w, 1);
                                 const orvex_status status = api.apply_gain_map_cfa(
                                     image.get(), map.data(), 3, 4, a.map_planes, a.top, a.left, a.bottom, a.right,
                                     a.row_pitch, a.col_pitch, 0.4, 0.3, 0.05, -0.1);
                                 out = output_of(image);
                                 return status;
                             });
                         }});
    }
    cases.push_back({"apply_flat_gain_map", [](const Api& api) {
                         Random random("apply_flat_gain_map");
                         const std::vector<float> map = random.uniforms(4 * 5, 0.5f, 2.0f);
                         return over_shapes(2, 1, [&](uint64_t h, uint64_t w, auto& out) {
                             Image image = random_image(random, ORVEX_DTYPE_FLOAT32, h, w, 1);
                             const orvex_status status = api.apply_flat_gain_map(image.get(), map.data(), 4, 5);
                             out = output_of(image);
                             return status;
                         });
                     }});
    for (int32_t count = 1; count <= 6; ++count)
        for (uint64_t channels : {1, 3}) {
            const std::string name =
                "fix_vignette/coefficients" + std::to_string(count) + "/channels" + std::to_string(channels);
            cases.push_back({name, [=](const Api& api) {
                                 const double coefficients[6] = {0.1, 0.3, -0.2, 0.05, 0.01, 9.0};
                                 Random random(name);
                                 return over_shapes(2, 1, [&](uint64_t h, uint64_t w, auto& out) {
                                     Image image = random_image(random, ORVEX_DTYPE_FLOAT32, h, w, channels);
                                     const orvex_status status =
                                         api.fix_vignette(image.get(), coefficients, count, 0.45, 0.6);
                                     out = output_of(image);
                                     return status;
                                 });
                             }});
        }
    for (bool cubic : {false, true})
        for (uint64_t channels : {1, 3})
            for (int32_t planes : {1, 3})
                for (bool tangential : {false, true}) {
                    const std::string name = std::string("warp_rectilinear/") + (cubic ? "cubic" : "bilinear") +
                                             "/channels" + std::to_string(channels) + "/planes" +
                                             std::to_string(planes) + (tangential ? "/tangential" : "");
                    cases.push_back(
                        {name, [=](const Api& api) {
                             const double radial[] = {1.0, 0.02, -0.03, 0.001, 0.5,  0.99,   -0.01, 0.02,
                                                      0.0, 0.0,  1.01,  0.03,  0.01, -0.002, 0.0};
                             const double tangents[] = {0.001, -0.002, 0.0005, 0.0, -0.001, 0.002};
                             Random random(name);
                             return over_shapes(4, 4, [&](uint64_t h, uint64_t w, auto& out) {
                                 const Image in = random_image(random, ORVEX_DTYPE_FLOAT32, h, w, channels);
                                 Image result(ORVEX_DTYPE_FLOAT32, h, w, channels);
                                 const orvex_status status =
                                     api.warp_rectilinear(in.get(), result.get(), radial, planes, 5,
                                                          tangential ? tangents : nullptr, 0.48, 0.53, cubic);
                                 out = output_of(result);
                                 return status;
                             });
                         }});
                }
    for (int32_t degree = 0; degree <= 9; ++degree)
        for (uint64_t channels : {1, 3}) {
            const std::string name =
                "map_polynomial/degree" + std::to_string(degree) + "/channels" + std::to_string(channels);
            cases.push_back({name, [=](const Api& api) {
                                 Random random(name);
                                 const std::vector<float> coefficients = random.uniforms(10, -0.6f, 0.6f);
                                 return over_shapes(2, 1, [&](uint64_t h, uint64_t w, auto& out) {
                                     Image image = random_image(random, ORVEX_DTYPE_FLOAT32, h, w, channels);
                                     // Odd degrees on an area inside the image, every second row.
                                     const bool area = degree % 2 == 1;
                                     const auto height = static_cast<int32_t>(h), width = static_cast<int32_t>(w);
                                     const orvex_status status = api.map_polynomial(
                                         image.get(), area ? 1 : 0, area ? width / 3 : 0, area ? height : 0,
                                         area ? width : 0, 0, 3, area ? 2 : 1, 1, coefficients.data(), degree);
                                     out = output_of(image);
                                     return status;
                                 });
                             }});
        }
}

}  // namespace

const std::vector<GoldenCase>& golden_cases() {
    static const std::vector<GoldenCase> cases = [] {
        Cases all;
        add_frame_cases(all);
        add_raw_cases(all);
        add_color_cases(all);
        add_tone_cases(all);
        add_opcode_cases(all);
        return all;
    }();
    return cases;
}

}  // namespace orvex::testing
