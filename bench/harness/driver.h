// Runs one benchmark case: builds its buffers, times the export on every
// supported instruction set interleaved with a memcpy of the same output
// bytes and with the case's peers, and frees everything before returning.
#pragma once

#include <vector>

#include "harness.h"
#include "harness/measure.h"
#include "harness/table.h"

namespace orvex::bench {

// Rows in order: one per supported instruction set, then one per peer. A
// call that returns another status than the case expects gives one row that
// carries the error.
std::vector<Row> run_case(const Case& bench_case, const Size& size, const RoundsOptions& options);

}  // namespace orvex::bench
