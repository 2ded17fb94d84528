// The table lines of the four map points around a run of image columns, and
// the gain of each corner at a vector of table points: held in registers
// where a line has at most 32 points (picked by permutes), gathered from the
// table otherwise. Included by the per-instruction-set kernel bodies after
// they define ORVEX_ISA.
#pragma once

#include <cstdint>

#include "frame/simd.h"
#include "tone/profile_gain_table_kernels.h"

namespace orvex::ORVEX_ISA {

// Two table points per lane and the fraction between them.
struct TablePoint {
    simd::vi k0;
    simd::vi k1;
    simd::vf fk;
};

// Lines in corner order: map row 0 column 0, row 0 column 1, row 1 column
// 0, row 1 column 1.
inline void corner_lines(const float* row0, const float* row1, const GainColumnRun& run, const float* (&lines)[4]) {
    lines[0] = row0 + run.offset0;
    lines[1] = row0 + run.offset1;
    lines[2] = row1 + run.offset0;
    lines[3] = row1 + run.offset1;
}

// Each corner's gain as (T[k1] - T[k0]) * fk + T[k0], from the table.
class GatheredCorners {
public:
    GatheredCorners(const float* row0, const float* row1, const GainColumnRun& run, int32_t) {
        corner_lines(row0, row1, run, lines_);
    }
    simd::vf at(int corner, const TablePoint& p) const {
        using namespace simd;
        const vf a = gather(lines_[corner], p.k0);
        const vf b = gather(lines_[corner], p.k1);
        return add(mul(sub(b, a), p.fk), a);
    }

private:
    const float* lines_[4];
};

#if defined(__AVX2__)

// A line of up to `points` table points in registers, kLanes per part.
template <int points>
struct HeldLine {
    static constexpr int kParts = points / simd::kLanes;
    simd::vf part[kParts];
};

#if defined(__AVX512F__)
// first, first + 1, ... per lane.
inline simd::vi lane_ramp(int32_t first) {
    return _mm512_add_epi32(_mm512_set1_epi32(first),
                            _mm512_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15));
}
// The first `count` floats at p, zeros after them; nothing past them is read.
inline simd::vf load_first(const float* p, int32_t count) {
    const __mmask16 lanes = count >= 16 ? 0xffff : (count <= 0 ? 0 : (1u << count) - 1);
    return _mm512_maskz_loadu_ps(lanes, p);
}
// line[k] per lane, for k below `points`.
template <int points>
simd::vf pick(const HeldLine<points>& line, simd::vi k) {
    if constexpr (HeldLine<points>::kParts == 1)
        return _mm512_permutexvar_ps(k, line.part[0]);
    else
        return _mm512_permutex2var_ps(line.part[0], k, line.part[1]);
}
#else
inline simd::vi lane_ramp(int32_t first) {
    return _mm256_add_epi32(_mm256_set1_epi32(first), _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7));
}
inline simd::vf load_first(const float* p, int32_t count) {
    return _mm256_maskload_ps(p, _mm256_cmpgt_epi32(_mm256_set1_epi32(count), lane_ramp(0)));
}
// Each part permuted by the low three bits of k, then chosen by bits 3 and
// 4 (moved into the sign bit that the blends test).
template <int points>
simd::vf pick(const HeldLine<points>& line, simd::vi k) {
    constexpr int parts = HeldLine<points>::kParts;
    const __m256 p0 = _mm256_permutevar8x32_ps(line.part[0], k);
    if constexpr (parts == 1) return p0;
    const __m256 bit3 = _mm256_castsi256_ps(_mm256_slli_epi32(k, 28));
    const __m256 low = _mm256_blendv_ps(p0, _mm256_permutevar8x32_ps(line.part[1], k), bit3);
    if constexpr (parts == 2) return low;
    const __m256 high = _mm256_blendv_ps(_mm256_permutevar8x32_ps(line.part[2], k),
                                         _mm256_permutevar8x32_ps(line.part[3], k), bit3);
    return _mm256_blendv_ps(low, high, _mm256_castsi256_ps(_mm256_slli_epi32(k, 27)));
}
#endif

// Each corner's line T and its differences D[k] = T[min(k + 1, N - 1)] -
// T[k] in registers; the gain D[k0] * fk + T[k0] is the same float as
// (T[k1] - T[k0]) * fk + T[k0].
template <int points>
class HeldCorners {
public:
    HeldCorners(const float* row0, const float* row1, const GainColumnRun& run, int32_t points_n) {
        using namespace simd;
        const float* lines[4];
        corner_lines(row0, row1, run, lines);
        const vi last = set1_i32(points_n - 1);
        for (int c = 0; c < 4; ++c) {
            for (int i = 0; i < kParts; ++i)
                value_[c].part[i] = load_first(lines[c] + i * kLanes, points_n - i * kLanes);
            for (int i = 0; i < kParts; ++i) {
                const vi next = min_u32(lane_ramp(i * kLanes + 1), last);
                diff_[c].part[i] = sub(pick(value_[c], next), value_[c].part[i]);
            }
        }
    }
    simd::vf at(int corner, const TablePoint& p) const {
        using namespace simd;
        return add(mul(pick(diff_[corner], p.k0), p.fk), pick(value_[corner], p.k0));
    }

private:
    static constexpr int kParts = HeldLine<points>::kParts;
    HeldLine<points> value_[4];
    HeldLine<points> diff_[4];
};

#endif

// Calls apply.template operator()<Corners>() with the corners that suit
// lines of `points_n` table points.
template <class Apply>
void with_corners([[maybe_unused]] int32_t points_n, Apply&& apply) {
#if defined(__AVX512F__)
    if (points_n <= 16) return apply.template operator()<HeldCorners<16>>();
    if (points_n <= 32) return apply.template operator()<HeldCorners<32>>();
#elif defined(__AVX2__)
    if (points_n <= 8) return apply.template operator()<HeldCorners<8>>();
    if (points_n <= 16) return apply.template operator()<HeldCorners<16>>();
    if (points_n <= 32) return apply.template operator()<HeldCorners<32>>();
#endif
    apply.template operator()<GatheredCorners>();
}

}  // namespace orvex::ORVEX_ISA
