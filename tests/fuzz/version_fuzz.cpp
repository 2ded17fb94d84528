// orvex_version: the same constant text on every call and instruction set.
#include <cstring>

#include "fuzz_call.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t*, size_t) {
    using namespace orvex;
    const char* first = orvex_version();
    for (Isa isa : kAllIsas) {
        if (!force_isa(isa)) continue;
        if (orvex_version() != first || std::strcmp(first, "1.0.0") != 0) fuzz::fail("version text changed");
    }
    force_isa(Isa::baseline);
    return 0;
}
