// Which file each input is developed into, and in which format.
#pragma once

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "batch.h"

namespace orvex::develop {

// A command line that cannot be carried out.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// `format` is one of png8, png16, tiff16, tiff-float; without it the output
// name decides (.png: 8-bit PNG, .tif/.tiff: 16-bit TIFF); png8 for a folder.
OutputChoice choose_output(const std::optional<std::string>& format, const std::optional<std::string>& output_file);

// One job per input: to `output_file` (one input only) or to DIR/<input name>.<png|tif>.
std::vector<DevelopJob> plan_jobs(const std::vector<std::string>& inputs,
                                  const std::optional<std::string>& output_file,
                                  const std::optional<std::string>& out_dir, OutputChoice output);

}  // namespace orvex::develop
