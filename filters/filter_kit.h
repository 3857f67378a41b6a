// The filter kit: twenty named filters over 8-bit RGBA pictures sharing one parameter
// set (six sliders, an option, six flags) and one pair of pictures.
#pragma once
#include <cstdint>

#include "engine/engine.h"

namespace calv {

struct FilterArgs {
    int32_t chained = 0;
    int32_t sliders[6] = {};  // per mille, 0..1000
    int32_t option1 = 0;
    int32_t flags[6] = {};  // low bytes used
};

// Runs the filter named `name` (exact, case-sensitive) from the effect source picture into
// the effect destination picture, both canvas-sized. False, doing nothing, when either
// picture is missing; an unknown name does nothing.
bool FilterKitRun(Engine& engine, const char* name, const FilterArgs& args);

// The same on explicit width x height pictures (rows width x 4 bytes): the brush tip's blur.
void FilterKitRun(Engine& engine, RGBA32* source, RGBA32* destination, int32_t width, int32_t height,
                  const char* name, const FilterArgs& args);

}  // namespace calv
