// Keeps exceptions inside the library: the entry points that allocate run
// their work through call_guarded, and a failed allocation becomes
// ORVEX_ERR_INVALID_ARGUMENT (the request was larger than could be served).
// Scratch memory is allocated before the first sample is written, so such a
// call writes nothing.
#pragma once

#include "orvex.h"

namespace orvex {

template <class Body>
orvex_status call_guarded(Body&& body) noexcept {
    try {
        return body();
    } catch (...) {
        return ORVEX_ERR_INVALID_ARGUMENT;
    }
}

}  // namespace orvex
