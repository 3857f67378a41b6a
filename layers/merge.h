// Flattening layers: one layer into another or into a host buffer, and the whole picture.
#pragma once
#include <cstdint>

#include "engine/engine.h"

namespace calv {

// The "Layer Mask" layer that masks slot `slot`: the first visible slot with pixels above
// it (up to the top layer) when that slot is in "Layer Mask" mode; else null.
const Layer* LayerMaskOf(const Engine& engine, int32_t slot);

// The whole of `source` into `target` at (0, 0) with the source's mode, opacity and mask.
void MergeLayer(Engine& engine, int32_t source, int32_t target);
// The width x height rectangle at (x, y) of `source` into an RGBA64 buffer of exactly that
// rectangle (rows width pixels long).
void MergeLayerIntoRect(Engine& engine, int32_t source, RGBA64* buffer, int32_t x, int32_t y, int32_t width,
                        int32_t height);
// The flattened picture of a rectangle: the background copied, slots 2..63 laid over it.
void MergeRect(Engine& engine, RGBA64* buffer, int32_t x, int32_t y, int32_t width, int32_t height);

// Lays a canvas-sized RGBA32 image (rows canvasWidth x 4 bytes) into a layer.
void BlendImageIntoLayer(Engine& engine, const uint8_t* image, Layer& layer, int32_t mode, int32_t maskMode,
                         int32_t opacity, bool keepAlpha);

}  // namespace calv
