// The blend buffer: the paint the brush carries, picked up from the picture, mixed,
// tinted, cleared, filled and filtered between dabs.
#pragma once
#include <cstdint>

#include "engine/canvas_io.h"
#include "engine/engine.h"

namespace calv {

// The buffer as a plane of single 16-bit values with the same row length (4 a pixel),
// as the mask-maker dab and the mask pick-up use it.
inline uint16_t* blendChannelRow(BrushState& brush, int32_t t) {
    return reinterpret_cast<uint16_t*>(brush.blendBuffer.row(t));
}

// Copies the brush window at (x, y) of `source` (canvas-sized) into the buffer, tinted
// toward the brush colour by amount / 256. Where the window leaves the canvas the buffer
// takes the colour (or only opaque alpha with opaqueFill).
void CopyBlendBuffer(Engine& engine, int32_t x, int32_t y, PlaneView source, int32_t amount, bool opaqueFill);
// Copies the brush window of the mask into the single-channel view, tinted toward the
// mask value of the brush colour.
void CopyBlendBufferMask(Engine& engine, int32_t x, int32_t y, int32_t amount);
// Mixes the brush window of `source` into the buffer by the mix mode with strength
// amount x 256.
void MixBlendBuffer(Engine& engine, int32_t x, int32_t y, PlaneView source, int32_t amount);
// Tints the window toward (r, g, b) (8-bit) by amount x 256; empty pixels take the colour.
void ColorBlendBuffer(Engine& engine, int32_t x, int32_t y, int32_t r, int32_t g, int32_t b, int32_t amount);
void ClearBlendBuffer(BrushState& brush);
// Every byte of the buffer becomes the low byte of value.
void FillBlendBuffer(BrushState& brush, int32_t value);
// Grey (289), invert (290), floor (291) or ceiling (292) at level per cent, over the
// size x size square.
void FilterBlendBuffer(Engine& engine, int32_t kind, int32_t level);

}  // namespace calv
