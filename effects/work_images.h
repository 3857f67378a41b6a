// The effect work images: canvas-sized 8-bit pictures the effects read and write, filled
// from the current layer or by the host.
#pragma once
#include <cstdint>

#include "engine/engine.h"

namespace calv {

// Allocates (replacing) the RGBA32 source and fills it from the current layer (zeros
// without one). Throws std::bad_alloc; the image is then empty.
void AllocSrcBuffer32(Engine& engine);
// Refills the source from the current layer: the canvas height, or 0 without a layer or
// without the image.
int32_t UpdateSrcBuffer32(Engine& engine);
// Allocates (replacing) the RGBA32 destination; contents undefined.
void AllocDstBuffer32(Engine& engine);
// Allocates the RGB24 source filled from the current layer, and the RGB24 destination.
void AllocSrcBuffer24(Engine& engine);
void AllocDstBuffer24(Engine& engine);
// Copies the image's width x height pixels from the host into it; nothing for null.
void SetBuffer32(Plane<RGBA32>& image, const uint8_t* pixels);

}  // namespace calv
