// The brush tip and the grit buffers.
#pragma once
#include <cstdint>

#include "engine/engine.h"

namespace calv {

// Builds the tip from `source` turned by `angle`, or the circular tip when the source is
// empty or cannot be read. `blur` lets an image tip be softened first.
void SetBrushShape(Engine& engine, const char* source, int32_t angle, bool blur);

// The circular tip of the current size, softness, inversion and tip scale.
void BuildCircularTip(Engine& engine);

// Fills the twenty grit buffers with random blocks from the grit tables.
void BuildGrit(Engine& engine);

// Loads a grit picture or script into the grit buffers; false when it cannot be read.
bool LoadGritSource(Engine& engine, const char* source);

}  // namespace calv
