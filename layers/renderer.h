// The view: flattens the visible layers and the stroke in progress for a rectangle of the
// canvas, shows transparency as a checkerboard, tints the protected selection, scales,
// and writes B, G, R bytes into the host's buffer.
#pragma once
#include <cstdint>

#include "engine/engine.h"

namespace calv {

void Render(Engine& engine, uint8_t* buffer, int32_t bufferStride, int32_t x, int32_t y, int32_t width,
            int32_t height);

// Lets tests lay "Normal" entries through the general per-pixel path, which the 1:1 and
// magnified views otherwise pass over for a quicker one with the same results.
void useNormalRunsForTesting(bool on);

}  // namespace calv
