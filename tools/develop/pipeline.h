// The whole development of one mosaic, stage by stage in the order a raw
// photograph travels, with the time each stage took.
#pragma once

#include <string>
#include <vector>

#include "images.h"
#include "recipe.h"

namespace orvex::develop {

struct StageTime {
    std::string stage;
    double milliseconds = 0.0;
};

// Develops `mosaic` (consumed) by `recipe` into samples of `format`; appends
// each stage's time to `times` when given. Throws StageError.
OutputImage develop_mosaic(const Recipe& recipe, Mosaic mosaic, SampleFormat format,
                           std::vector<StageTime>* times = nullptr);

}  // namespace orvex::develop
