// Black and white level parameters of one normalisation call, after
// validation. Optional arrays that are absent are null with a count of 0.
#pragma once

#include <cstdint>

namespace orvex {

struct RawLevels {
    const float* black_level;
    int32_t black_rows;
    int32_t black_cols;
    int32_t channels;
    const float* white_level;
    int32_t white_count;
    const float* delta_h;
    int32_t delta_h_count;
    const float* delta_v;
    int32_t delta_v_count;
    const uint16_t* table;
    int32_t table_count;
};

}  // namespace orvex
