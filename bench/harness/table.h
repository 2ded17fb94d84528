// The benchmark table: one row per export call on one instruction set, or per
// peer call, in Markdown.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace orvex::bench {

struct Row {
    std::string export_name;  // e.g. "orvex_convert_dtype"
    std::string variant;      // e.g. "u16_to_f32"
    std::string code;         // the instruction set, or the peer's name
    std::string unit;         // what the times divide by: "px" or "call"
    double cpu_median_ns = 0;
    double cpu_min_ns = 0;
    double wall_median_ns = 0;
    double wall_min_ns = 0;
    double faults_per_call = 0;       // median over rounds
    std::optional<double> vs_memcpy;  // CPU time over that of a memcpy of the output bytes
    std::optional<double> vs_peer;    // CPU time over that of the first peer
    std::string error;                // set when the call failed; no figures then
};

std::string markdown_table(const std::vector<Row>& rows);

}  // namespace orvex::bench
