#include <memory>

#include "harness.h"

namespace orvex::bench {
namespace {

constexpr Size kSmall{16, 16};
constexpr uint32_t kRggb[4] = {0, 1, 1, 2};

// The exports that do no image work, timed per call.
const bool registered = [] {
    add_case("version/", {0, true}, [](const Size&) {
        return Prepared{[] { return orvex_version()[0] == '\0' ? ORVEX_ERR_INVALID_ARGUMENT : ORVEX_OK; }};
    });
    // Not provided: the call validates its arguments and returns ORVEX_ERR_UNSUPPORTED.
    add_case("vng_demosaic/unsupported", {0, true, ORVEX_ERR_UNSUPPORTED}, [](const Size&) {
        auto src = std::make_shared<Image<float>>(kSmall, 1);
        auto dst = std::make_shared<Image<float>>(kSmall, 3);
        return Prepared{[src, dst] { return orvex_vng_demosaic(&src->desc, &dst->desc, kRggb); }};
    });
    return true;
}();

}  // namespace
}  // namespace orvex::bench
