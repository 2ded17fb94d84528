// Body of the bad-pixel repair; included by one translation unit per
// instruction set after it defines ORVEX_ISA.
#include "opcodes/bad_pixels_kernels.h"

namespace orvex::ORVEX_ISA {
namespace {

// Samples tested together before any is looked at one by one; marked samples
// are rare, so most blocks are passed over whole.
constexpr uint64_t kBlock = 64;

bool block_holds(const uint16_t* p, uint64_t n, uint16_t constant) {
    unsigned found = 0;
    for (uint64_t i = 0; i < n; ++i)
        found |= p[i] == constant ? 1u : 0u;
    return found != 0;
}

struct Neighbours {
    uint32_t count = 0;
    uint32_t sum = 0;
};

// Neighbours are read from src when repaired, so in place a sample repaired
// earlier counts as good.
void repair(const uint16_t* src, uint16_t* dst, uint64_t height, uint64_t width, uint64_t i, uint64_t j,
            uint16_t constant, uint32_t green_parity) {
    Neighbours good;
    const auto consider = [&](uint64_t r, uint64_t c) {
        const uint16_t v = src[r * width + c];
        if (v == constant) return;
        ++good.count;
        good.sum += v;
    };
    if (((i + j + green_parity) & 1) == 0) {
        if (i > 0 && j > 0) consider(i - 1, j - 1);
        if (i > 0 && j + 1 < width) consider(i - 1, j + 1);
        if (i + 1 < height && j > 0) consider(i + 1, j - 1);
        if (i + 1 < height && j + 1 < width) consider(i + 1, j + 1);
    } else {
        if (i >= 2) consider(i - 2, j);
        if (i + 2 < height) consider(i + 2, j);
        if (j >= 2) consider(i, j - 2);
        if (j + 2 < width) consider(i, j + 2);
    }
    if (good.count == 0) return;
    const uint32_t mean = good.count == 4 ? (good.sum + 2) >> 2 : (good.sum + good.count / 2) / good.count;
    dst[i * width + j] = static_cast<uint16_t>(mean);
}

}  // namespace

// Whether a sample is marked depends only on its own value, which no earlier
// repair changes, so a block can be tested before its samples are repaired.
void fix_bad_pixels(const uint16_t* src, uint16_t* dst, uint64_t height, uint64_t width, uint16_t constant,
                    uint32_t green_parity) {
    for (uint64_t i = 0; i < height; ++i) {
        const uint16_t* row = src + i * width;
        for (uint64_t start = 0; start < width; start += kBlock) {
            const uint64_t end = width - start < kBlock ? width : start + kBlock;
            if (!block_holds(row + start, end - start, constant)) continue;
            for (uint64_t j = start; j < end; ++j)
                if (row[j] == constant) repair(src, dst, height, width, i, j, constant, green_parity);
        }
    }
}

}  // namespace orvex::ORVEX_ISA
