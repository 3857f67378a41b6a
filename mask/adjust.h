// Weighting pictures made outside a layer by the paper texture and the mask before they
// are laid into it by alpha.
#pragma once
#include <cstdint>

#include "engine/engine.h"

namespace calv {

// Scales the alpha of each pixel of an RGBA32 picture aligned with the canvas (rows
// width x 4 bytes) by the texture-and-mask weight of its canvas pixel. Pixels past the
// canvas are left alone.
void AdjustRGBA32ByMaskAndTexture(Engine& engine, uint8_t* picture, int32_t width, int32_t height);
// The same for a picture holding the width x height canvas rectangle at (x, y), clipped to
// the canvas (rows width x 4 bytes).
void AdjustRGBA32RectByMaskAndTexture(Engine& engine, uint8_t* picture, int32_t x, int32_t y, int32_t width,
                                      int32_t height);

// Around filters of colour: premultiplies an RGBA32 picture (rows width x 4 bytes) by its
// alpha, and divides the alpha back out. Fully transparent and fully opaque pixels are left.
void PremultiplyRGBA32(uint8_t* picture, int32_t width, int32_t height);
void UnpremultiplyRGBA32(uint8_t* picture, int32_t width, int32_t height);
// Divides the alpha out of every pixel of a canvas-sized RGBA32 picture with alpha above 0.
void UnpremultiplyAllRGBA32(const CanvasState& canvas, uint8_t* picture);
// The same pair on RGBA64 pictures, for every pixel with alpha above 0.
void PremultiplyRGBA64(uint16_t* picture, int32_t width, int32_t height);
void UnpremultiplyRGBA64(uint16_t* picture, int32_t width, int32_t height);

}  // namespace calv
