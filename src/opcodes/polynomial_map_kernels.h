// Kernels of the polynomial mapping: one row of an area.
#pragma once

#include <cstddef>
#include <cstdint>

#include "frame/isa_family.h"

namespace orvex {

// Replaces samples[i * stride], i < n, by the clamped polynomial of its value.
using PolynomialRunKernel = void (*)(float* samples, size_t n, size_t stride, const float* coefficients,
                                     int32_t degree);

ORVEX_DECLARE_PER_ISA(PolynomialRunKernel select_polynomial_run_kernel(int32_t degree))

}  // namespace orvex
