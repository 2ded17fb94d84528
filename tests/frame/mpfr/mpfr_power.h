// Reference values from MPFR: x^y rounded once to the nearest float (ties to
// even), with float's exponent range and subnormals.
#pragma once

#include <mpfr.h>

namespace orvex::testing {

class MpfrPower {
public:
    MpfrPower() {
        mpfr_set_emin(-148);  // 2^-149 is 0.5 * 2^-148
        mpfr_set_emax(128);
        mpfr_inits2(24, x_, y_, result_, static_cast<mpfr_ptr>(nullptr));
    }
    ~MpfrPower() { mpfr_clears(x_, y_, result_, static_cast<mpfr_ptr>(nullptr)); }
    MpfrPower(const MpfrPower&) = delete;
    MpfrPower& operator=(const MpfrPower&) = delete;

    float operator()(float x, float y) {
        mpfr_set_flt(x_, x, MPFR_RNDN);
        mpfr_set_flt(y_, y, MPFR_RNDN);
        int inexact = mpfr_pow(result_, x_, y_, MPFR_RNDN);
        inexact = mpfr_check_range(result_, inexact, MPFR_RNDN);
        mpfr_subnormalize(result_, inexact, MPFR_RNDN);
        return mpfr_get_flt(result_, MPFR_RNDN);
    }

private:
    mpfr_t x_, y_, result_;
};

}  // namespace orvex::testing
