#include "harness/table.h"

#include <algorithm>
#include <array>
#include <cstdio>

namespace orvex::bench {
namespace {

constexpr size_t kColumns = 11;
using Cells = std::array<std::string, kColumns>;

std::string format(const char* pattern, double value) {
    char text[32];
    std::snprintf(text, sizeof text, pattern, value);
    return text;
}

// Three significant digits without an exponent.
std::string nanoseconds(double value) {
    return format(value >= 100 ? "%.0f" : value >= 10 ? "%.1f" : value >= 1 ? "%.2f" : "%.3f", value);
}

std::string ratio(const std::optional<double>& value) { return value ? format("%.2f", *value) : ""; }

Cells cells(const Row& row) {
    if (!row.error.empty()) return {row.export_name, row.variant, row.code, row.unit, "error: " + row.error};
    return {row.export_name,
            row.variant,
            row.code,
            row.unit,
            nanoseconds(row.cpu_median_ns),
            nanoseconds(row.cpu_min_ns),
            nanoseconds(row.wall_median_ns),
            nanoseconds(row.wall_min_ns),
            ratio(row.vs_memcpy),
            ratio(row.vs_peer),
            format("%.3g", row.faults_per_call)};
}

}  // namespace

std::string markdown_table(const std::vector<Row>& rows) {
    const Cells header = {"export",         "case",        "code",     "per",      "CPU ns median", "CPU ns min",
                          "wall ns median", "wall ns min", "x memcpy", "x OpenCV", "faults/call"};
    std::vector<Cells> lines = {header};
    for (const Row& row : rows)
        lines.push_back(cells(row));
    std::array<size_t, kColumns> widths{};
    for (const Cells& line : lines)
        for (size_t i = 0; i < kColumns; ++i)
            widths[i] = std::max(widths[i], line[i].size());
    std::string text;
    auto append = [&](const Cells& line) {
        for (size_t i = 0; i < kColumns; ++i) {
            text.append("| ").append(line[i]).append(widths[i] - line[i].size(), ' ').append(" ");
        }
        text.append("|\n");
    };
    append(lines.front());
    for (size_t i = 0; i < kColumns; ++i)
        text.append("|").append(widths[i] + 2, '-');
    text.append("|\n");
    for (size_t i = 1; i < lines.size(); ++i)
        append(lines[i]);
    return text;
}

}  // namespace orvex::bench
