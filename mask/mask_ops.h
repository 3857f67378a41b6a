// Whole-plane operations on the selection mask.
#pragma once
#include <cstdint>

#include "engine/engine.h"

namespace calv {

void InvertMask(MaskState& mask);
// Fills the mask with the value of the colour (16-bit channels).
void ClearMask(MaskState& mask, int32_t r, int32_t g, int32_t b);
// Writes the mask as a canvas-sized grey picture of 3 bytes a pixel.
void SaveMask(const MaskState& mask, uint8_t* dst, int32_t stride);
// Reads a grey picture of 3 bytes a pixel (their mean) into the mask; the part outside
// the canvas is left out.
void LoadMask(MaskState& mask, const uint8_t* src, int32_t stride, int32_t width, int32_t height);

// Between the mask and the current layer, over the part of the layer on the canvas.
void CreateImageFromMask(Engine& engine);
void CreateAlphaFromMask(Engine& engine);
void CreateMaskFromImage(Engine& engine);
void CreateMaskFromAlpha(Engine& engine);

// The protection (65535 - m) at (x, y) while the mask gates a current layer, else 0.
int32_t GetMask64(Engine& engine, int32_t x, int32_t y);

}  // namespace calv
