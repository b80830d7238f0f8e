// Loads the display's pictures from the program's resources into the core.
#pragma once

#include <string>
#include <vector>

namespace popchan {

struct Pictures;
class Surface;

// Fills every picture and the start-up picture of the display from the
// folder `location` (the program's own resources unless told otherwise);
// returns the names of the pictures that are missing or damaged, which stay
// white, that is transparent.
std::vector<std::string> load_pictures(Pictures& pictures, Surface& startup,
                                       const std::string& location = ":/pictures");

} // namespace popchan
