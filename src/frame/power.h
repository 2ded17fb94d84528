// x^y for floats, correctly rounded: the float nearest to the exact value,
// ties to even, with the special values of C's powf (C99 Annex F). It uses
// IEEE basic operations only, so it gives the same bits on every platform,
// compiler and instruction set, whatever the C runtime's powf does.
#pragma once

namespace orvex {

float power(float x, float y);

}  // namespace orvex
