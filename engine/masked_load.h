// Loading host pixels into a layer, optionally through the mask and the paper texture.
#pragma once
#include <cstdint>

#include "engine/engine.h"

namespace calv {

// Writes the RGBA32 picture `src` (rows `srcStride` bytes apart) into `layer` with its
// top-left corner at (x, y), clipped to the layer. Mask and texture weigh the write when
// `useMask` is set and either is in force; they are addressed in canvas coordinates, and
// pixels of a layer that reach past the canvas are loaded as if unmasked.
void LoadRGBA32Layer(Engine& engine, const uint8_t* src, int32_t srcStride, Layer& layer, int32_t x, int32_t y,
                     int32_t width, int32_t height, bool useMask);

// RGB24 into R, G, B of the current layer (canvas-sized), alpha untouched.
void LoadRGB24(Engine& engine, const uint8_t* src, int32_t srcStride, bool useMask);

// The first byte of each RGB24 pixel into the alpha of the current layer where alpha > 0.
void LoadRGB24ToAlpha(Engine& engine, const uint8_t* src, int32_t srcStride, bool useMask);

// A 24-bit bitmap in B, G, R byte order, rows top to bottom, into the current layer:
// opaque, no mask, no texture.
void LoadBGR24(Engine& engine, const uint8_t* src, int32_t srcStride, int32_t width, int32_t height);

// Fills the current layer with (r, g, b, a) x 256 through the mask's replace rule.
void ClearMasked(Engine& engine, uint8_t r, uint8_t g, uint8_t b, uint8_t a);
void ClearLayerMasked(Engine& engine, Layer& layer, uint8_t r, uint8_t g, uint8_t b, uint8_t a);

// Fills the current layer through the picture-load rule; false when no buffer could be had.
bool ClearMaskedAlpha(Engine& engine, uint8_t r, uint8_t g, uint8_t b, uint8_t a);

// Fills the current layer with (r, g, b, a) x 256, no mask.
void Clear(Engine& engine, uint8_t r, uint8_t g, uint8_t b, uint8_t a);
void ClearLayer(Engine& engine, Layer& layer, uint8_t r, uint8_t g, uint8_t b, uint8_t a);

// Inflates a stored RGBA32 block into `layer`; false when the stream does not give
// exactly width x height pixels (the layer is then left as it was).
bool LoadRGBA32LayerCompressed(Engine& engine, const uint8_t* data, int32_t dataLength, Layer& layer);

}  // namespace calv
