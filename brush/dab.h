// The dab rasteriser: lays the brush tip once at a position.
#pragma once
#include <cstdint>

#include "engine/engine.h"

namespace calv {

// Lays one dab centred on (x, y) in the colour (r, g, b) (16-bit channels, high bytes
// used) into the paint layer, or the current layer when there is none.
void DrawDabGrit(Engine& engine, int32_t x, int32_t y, int32_t r, int32_t g, int32_t b);

// Lays one dab of the brush colour, as a mask value, into the selection mask.
void DrawDabGritMask(Engine& engine, int32_t x, int32_t y);

}  // namespace calv
