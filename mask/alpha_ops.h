// Whole-picture operations on alpha: of a layer slot, the current layer, the paint layer,
// or an RGBA32 picture of the host's. Layer slots without pixels are ignored.
#pragma once
#include <cstdint>

#include "engine/engine.h"

namespace calv {

// A canvas-sized RGBA32 picture: alpha a becomes 255 - a.
void InvertAlphaRGBA32(const CanvasState& canvas, uint8_t* picture);
void InvertAlpha(Engine& engine, int32_t slot);
// Pixels of the current layer with alpha below 0x100 take the colour (component x 257)
// and alpha 0.
void SetColorAlpha(Engine& engine, int32_t r, int32_t g, int32_t b);
// A width x height RGBA32 picture: the colour of pixels whose alpha is 0 / of every pixel.
void SetColorAlphaRGBA32(uint8_t* picture, int32_t width, int32_t height, int32_t r, int32_t g, int32_t b);
void SetColorRGBA32(uint8_t* picture, int32_t width, int32_t height, int32_t r, int32_t g, int32_t b);
void SetLayerAlpha(Engine& engine, int32_t slot, int32_t value);
// Bakes the layer's opacity into its alpha and sets the opacity to 100 %.
void NormalizeLayerAlpha(Engine& engine, int32_t slot);
// Softens the paint layer's alpha edge; the stroke's opaque interior stays opaque.
// Throws std::bad_alloc.
void BlurPaintLayerAlpha(Engine& engine);
// A canvas-sized RGBA32 picture: pixels of exactly the key colour become transparent.
void SetAlphaFromRGBAColor(const CanvasState& canvas, uint8_t* picture, int32_t r, int32_t g, int32_t b);
// Turns a layer into a blob: grey (mode other than 1) or colour pulled toward the middle
// (mode 1), with an alpha that rises with luminance where the pixel was not nearly clear.
void CreateBlobFromImage(Engine& engine, int32_t slot, int32_t mode);

}  // namespace calv
