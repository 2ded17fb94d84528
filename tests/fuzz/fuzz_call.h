// Shared by the fuzz targets: decodes the fuzzer's bytes into descriptors,
// buffers, tables and scalars, and runs one call on every instruction set of
// this CPU. Honest buffers are allocated at exactly the size their descriptor
// or parameters promise, so AddressSanitizer sees any access past them;
// hostile descriptors promise a size no buffer can have and sit on a small
// real buffer. The run fails (abort) when two instruction sets differ in
// status or in one output byte, when a failed call wrote anything, or when a
// hostile descriptor was accepted.
#pragma once

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <memory>
#include <vector>

#include "frame/isa.h"
#include "orvex.h"

namespace orvex::fuzz {

[[noreturn]] inline void fail(const char* what) {
    std::fprintf(stderr, "fuzz check failed: %s\n", what);
    std::abort();
}

// ORVEX_FUZZ_TRACE=1 prints the decoded images and each status, to replay a
// finding.
inline bool tracing() {
    static const bool on = std::getenv("ORVEX_FUZZ_TRACE") != nullptr;
    return on;
}

// A heap block of exactly `size` bytes (a unique non-null pointer even for 0).
class Block {
public:
    Block() = default;
    explicit Block(size_t size) : size_(size), data_(static_cast<uint8_t*>(std::malloc(size))) {
        if (data_ == nullptr) fail("out of memory");
    }

    uint8_t* data() const { return data_.get(); }
    size_t size() const { return size_; }
    template <class T>
    T* as() const {
        return reinterpret_cast<T*>(data_.get());
    }

private:
    struct Free {
        void operator()(uint8_t* p) const { std::free(p); }
    };
    size_t size_ = 0;
    std::unique_ptr<uint8_t, Free> data_;
};

inline size_t sample_bytes(uint32_t dtype) {
    return dtype == ORVEX_DTYPE_UINT16 ? 2 : dtype == ORVEX_DTYPE_FLOAT32 ? 4 : 1;
}

// Values that find the edges of float arithmetic.
inline float special_float(uint8_t pick) {
    constexpr float inf = std::numeric_limits<float>::infinity();
    const float values[] = {0.0f,        -0.0f,       1.0f,     0.5f,    -1.0f,           inf,     -inf,
                            NAN,         -NAN,        1e-40f,   -1e-40f, 1.17549435e-38f, 3.4e38f, -3.4e38f,
                            0.99999994f, 1.00000012f, 65535.0f, 255.0f,  2147483648.0f,   1e10f};
    return values[pick % (sizeof values / sizeof values[0])];
}

inline double special_double(uint8_t pick) {
    constexpr double inf = std::numeric_limits<double>::infinity();
    const double values[] = {0.0, -0.0, 1.0, 0.5, -1.0, inf, -inf, NAN, 4.9e-324, 1e308, -1e308, 2.0, 1e-300, 0.25};
    return values[pick % (sizeof values / sizeof values[0])];
}

inline int32_t special_int(uint8_t pick) {
    const int32_t values[] = {0,         1,
                              2,         3,
                              4,         -1,
                              -2,        7,
                              8,         12,
                              16,        31,
                              32,        33,
                              64,        96,
                              255,       256,
                              65535,  //
                              INT32_MAX, INT32_MAX - 1,
                              INT32_MIN, INT32_MIN + 1};
    return values[pick % (sizeof values / sizeof values[0])];
}

// Decoding of the fuzzer's bytes. Every decoder stays valid once the bytes run
// out (they then read zeros).
class Decoder {
public:
    Decoder(const uint8_t* data, size_t size) : in_(data, size) {}

    bool flag() { return in_.ConsumeBool(); }
    // True roughly once in `n` calls.
    bool rarely(uint8_t n = 16) { return in_.ConsumeIntegralInRange<uint8_t>(0, n - 1) == 1; }
    template <class T>
    T in_range(T low, T high) {
        return in_.ConsumeIntegralInRange<T>(low, high);
    }
    uint8_t byte() { return in_.ConsumeIntegral<uint8_t>(); }

    float scalar_float() {
        const uint8_t how = byte() % 4;
        if (how == 0) return special_float(byte());
        if (how == 1) {
            uint32_t bits = in_.ConsumeIntegral<uint32_t>();
            float x;
            std::memcpy(&x, &bits, sizeof x);
            return x;
        }
        return static_cast<float>(in_.ConsumeIntegralInRange<int32_t>(-4096, 8192)) / 4096.0f;
    }
    double scalar_double() {
        const uint8_t how = byte() % 4;
        if (how == 0) return special_double(byte());
        if (how == 1) {
            uint64_t bits = in_.ConsumeIntegral<uint64_t>();
            double x;
            std::memcpy(&x, &bits, sizeof x);
            return x;
        }
        return static_cast<double>(in_.ConsumeIntegralInRange<int32_t>(-4096, 8192)) / 4096.0;
    }
    // Any int32, with the edges favoured.
    int32_t scalar_int() { return flag() ? special_int(byte()) : in_.ConsumeIntegral<int32_t>(); }
    // A count that sizes a table: small and honest, now and then 0 or negative.
    int32_t table_count(int32_t low, int32_t high) {
        if (rarely()) return flag() ? INT32_MIN : in_range<int32_t>(-2, low - 1);
        return in_range(low, high);
    }
    // A sample type: mostly one that exists.
    uint32_t dtype() {
        if (rarely()) return flag() ? 2u : in_.ConsumeIntegral<uint32_t>();
        const uint32_t known[] = {ORVEX_DTYPE_UINT8, ORVEX_DTYPE_UINT16, ORVEX_DTYPE_FLOAT32};
        return known[byte() % 3];
    }

    // Fills a block from a seeded generator: floats mix values in -0.25..1.25
    // with the specials, integers take any bit pattern.
    void fill(const Block& block, uint32_t dtype) {
        uint64_t state = in_.ConsumeIntegral<uint64_t>() | 1;
        const auto next = [&] {
            state ^= state << 13;
            state ^= state >> 7;
            state ^= state << 17;
            return state;
        };
        if (dtype == ORVEX_DTYPE_FLOAT32) {
            const uint32_t special_share = byte() % 5;  // in 16ths
            for (size_t i = 0; i + 4 <= block.size(); i += 4) {
                const uint64_t r = next();
                const float x = (r & 15) < special_share
                                    ? special_float(static_cast<uint8_t>(r >> 8))
                                    : static_cast<float>(static_cast<int32_t>((r >> 16) % 24577) - 4096) / 16384.0f;
                std::memcpy(block.data() + i, &x, sizeof x);
            }
            return;
        }
        for (size_t i = 0; i < block.size(); ++i)
            block.data()[i] = static_cast<uint8_t>(next() >> 24);
    }
    // A block of `count` floats filled as above (0 for a negative count).
    Block floats(int64_t count) {
        Block block(count > 0 ? static_cast<size_t>(count) * sizeof(float) : 0);
        fill(block, ORVEX_DTYPE_FLOAT32);
        return block;
    }
    Block doubles(int64_t count) {
        Block block(count > 0 ? static_cast<size_t>(count) * sizeof(double) : 0);
        for (size_t i = 0; i < block.size() / sizeof(double); ++i)
            block.as<double>()[i] = flag() ? scalar_double() : 1.0 + 0.001 * static_cast<int8_t>(byte());
        return block;
    }

private:
    FuzzedDataProvider in_;
};

// One image argument: its descriptor and the buffer behind it.
struct Image {
    orvex_image desc{};
    Block block;
    bool hostile = false;  // the descriptor promises more than could exist
};

struct Shape {
    uint64_t height = 0;
    uint64_t width = 0;
    uint64_t channels = 0;
    bool hostile = false;
};

// Whether h x w x c samples of `dtype` could be one object (exact product).
inline bool could_exist(const Shape& s, uint32_t dtype) {
    const unsigned __int128 bytes = static_cast<unsigned __int128>(s.height) * s.width;
    if (bytes == 0 || s.channels == 0) return true;
    if (bytes >> 64) return false;
    const unsigned __int128 total = bytes * s.channels * sample_bytes(dtype);
    return total <= static_cast<unsigned __int128>(PTRDIFF_MAX);
}

// A shape: mostly small; sometimes an empty dimension beside huge ones;
// sometimes (hostile) a size that wraps or exceeds the largest object.
inline Shape decode_shape(Decoder& in, uint64_t channels, uint32_t dtype, uint64_t max_side = 40) {
    Shape s;
    s.channels = channels;
    const uint8_t mode = in.byte() % 16;
    if (mode < 12) {
        s.height = in.in_range<uint64_t>(0, max_side);
        s.width = in.in_range<uint64_t>(0, max_side);
        return s;
    }
    if (mode < 14) {  // no samples at all, however large the other sides
        const uint64_t huge = UINT64_MAX >> in.in_range<unsigned>(0, 40);
        const uint8_t empty = in.byte() % 3;
        s.height = empty == 0 ? 0 : huge;
        s.width = empty == 1 ? 0 : huge;
        if (empty == 2) s.channels = 0;
        return s;
    }
    s.hostile = true;
    const uint64_t a = in.in_range<uint64_t>(0, 3);
    const uint64_t b = in.in_range<uint64_t>(0, 3);
    switch (in.byte() % 4) {
        case 0:  // 2^32 + a by 2^32 + b: the product wraps to a small count
            s.height = (uint64_t{1} << 32) + a;
            s.width = (uint64_t{1} << 32) + b;
            break;
        case 1:  // 2^62 + a rows of 4 + b
            s.height = (uint64_t{1} << 62) + a;
            s.width = 4 + b;
            break;
        case 2:  // one side past 2^61
            s.height = 1 + a;
            s.width = (uint64_t{1} << 61) + b;
            break;
        default:
            s.height = in.in_range<uint64_t>(1, UINT64_MAX);
            s.width = in.in_range<uint64_t>(1, UINT64_MAX);
            break;
    }
    if (could_exist(s, dtype)) {
        s.height = (uint64_t{1} << 32) + a;
        s.width = (uint64_t{1} << 32) + b;
        if (s.channels == 0) s.channels = 1;
    }
    return s;
}

// The image for a shape and type: an honest buffer of exactly the promised
// size, or 16 to 256 real bytes under a hostile descriptor. Now and then the
// data pointer is null or `reserved` is set.
inline Image make_image(Decoder& in, const Shape& shape, uint32_t dtype) {
    Image image;
    image.hostile = !could_exist(shape, dtype);
    const size_t bytes =
        shape.hostile || image.hostile
            ? in.in_range<size_t>(16, 256)
            : static_cast<size_t>(shape.height * shape.width * shape.channels) * sample_bytes(dtype);
    if (bytes > (size_t{64} << 20)) fail("an honest shape too large to back: a decoder fault");
    image.block = Block(bytes);
    in.fill(image.block, dtype);
    image.desc.data = in.rarely(32) ? nullptr : image.block.data();
    image.desc.height = shape.height;
    image.desc.width = shape.width;
    image.desc.channels = shape.channels;
    image.desc.dtype = dtype;
    image.desc.alignment_gap = in.byte();
    image.desc.reserved = in.rarely(32) ? in.in_range<uint64_t>(1, UINT64_MAX) : 0;
    if (tracing())
        std::fprintf(stderr, "image %llu x %llu x %llu type %u reserved %llu data %s, %zu bytes%s\n",
                     static_cast<unsigned long long>(shape.height), static_cast<unsigned long long>(shape.width),
                     static_cast<unsigned long long>(shape.channels), dtype,
                     static_cast<unsigned long long>(image.desc.reserved), image.desc.data ? "set" : "null", bytes,
                     image.hostile ? ", hostile" : "");
    return image;
}

// The shape of a second image: the first one's with its own channel count,
// or now and then one of its own.
inline Shape decode_partner_shape(Decoder& in, const Shape& first, uint64_t channels, uint32_t dtype) {
    if (in.rarely()) return decode_shape(in, channels, dtype);
    Shape s = first;
    s.channels = channels;
    // Channels were the empty side: another count would promise a buffer of
    // huge height x width, so this image gets no rows instead.
    if (first.channels == 0 && !first.hostile) s.height = 0;
    return s;
}

// The bytes of a written buffer as compared between instruction sets: a
// float buffer has every NaN made one, since which NaN an operation returns
// (its sign and payload) depends on the order of commutative operands, which
// compilers may swap.
inline std::vector<uint8_t> comparable(const std::vector<uint8_t>& bytes, uint32_t dtype) {
    std::vector<uint8_t> out = bytes;
    if (dtype != ORVEX_DTYPE_FLOAT32) return out;
    for (size_t i = 0; i + 4 <= out.size(); i += 4) {
        float x;
        std::memcpy(&x, &out[i], sizeof x);
        if (x != x) {
            const uint32_t quiet = 0x7FC00000u;
            std::memcpy(&out[i], &quiet, sizeof quiet);
        }
    }
    return out;
}

// Runs `call` once per instruction set this CPU has, each time on the
// initial contents of `written` (samples of `dtype`), and checks that the
// statuses and written bytes agree, that a failure wrote nothing and that no
// hostile descriptor was accepted. Returns the common status.
template <class Call>
orvex_status on_every_isa(const Block& written, uint32_t dtype, bool any_hostile, Call&& call) {
    const std::vector<uint8_t> initial(written.data(), written.data() + written.size());
    std::vector<uint8_t> first_result;
    orvex_status first_status = ORVEX_OK;
    bool have_first = false;
    for (Isa isa : kAllIsas) {
        if (!force_isa(isa)) continue;
        std::copy(initial.begin(), initial.end(), written.data());
        const orvex_status status = call();
        if (tracing()) std::fprintf(stderr, "%s: status %d\n", isa_name(isa), status);
        if (status < ORVEX_OK || status > ORVEX_ERR_SHAPE_MISMATCH) fail("status outside the four codes");
        if (any_hostile && status == ORVEX_OK) fail("a descriptor no buffer can match was accepted");
        const std::vector<uint8_t> result(written.data(), written.data() + written.size());
        if (status != ORVEX_OK && result != initial) fail("a failed call wrote to its buffer");
        if (!have_first) {
            first_status = status;
            first_result = comparable(result, dtype);
            have_first = true;
            continue;
        }
        if (status != first_status) fail("instruction sets differ in status");
        const std::vector<uint8_t> compared = comparable(result, dtype);
        if (compared != first_result) {
            for (size_t k = 0; tracing() && k < compared.size(); ++k)
                if (compared[k] != first_result[k])
                    std::fprintf(stderr, "byte %zu: %02x, first set %02x\n", k, compared[k], first_result[k]);
            fail("instruction sets differ in output bytes");
        }
    }
    force_isa(Isa::baseline);
    return first_status;
}

}  // namespace orvex::fuzz
