// orvex-develop --demo: a synthetic raw scene developed and checked.
#pragma once

#include <iosfwd>
#include <string>

namespace orvex::develop {

// Writes mosaic.png, mosaic_preview.png, recipe.json, developed.png and
// side_by_side.png into `dir`, prints the check's figures; true when they
// are within the limits.
bool run_demo(const std::string& dir, std::ostream& out);

}  // namespace orvex::develop
