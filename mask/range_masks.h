// Selections built by testing every pixel of a canvas-sized picture: where the test holds
// the mask takes one value, elsewhere it keeps its own. Pictures have no stride: RGBA32
// rows are canvasWidth x 4 bytes, RGB24 rows canvasWidth x 3, flag rows canvasWidth.
#pragma once
#include <cstdint>

#include "engine/engine.h"

namespace calv {

// The mask value a level writes: (255 - level) x 256 for 0..255 (the low 16 bits of
// (0xFFFF - level) x 256), so level 0 is 0xFF00 and 255 protects fully.
constexpr uint16_t levelMaskValue(int32_t level) { return uint16_t(uint32_t(0xFFFF - level) << 8); }
// A percentage tolerance as an 8-bit distance: 100 gives 256, so everything passes.
constexpr int32_t toleranceDistance(int32_t percent) { return int32_t(percent * 2.56); }

void CreateMaskFromDiff(Engine& engine, const uint8_t* a, const uint8_t* b, int32_t value);
void CreateMaskFromRGBAColor(Engine& engine, const uint8_t* picture, int32_t r, int32_t g, int32_t b, int32_t level);
void CreateMaskFromRGB24Color(Engine& engine, const uint8_t* picture, int32_t r, int32_t g, int32_t b, int32_t level);
void CreateMaskFromFloodMask(Engine& engine, const uint8_t* flags, int32_t level);
void CreateMaskFromColorRange(Engine& engine, const uint8_t* picture, int32_t r, int32_t g, int32_t b,
                              int32_t tolerance, int32_t level);
void CreateMaskFromAlphaRange(Engine& engine, const uint8_t* picture, int32_t alpha, int32_t tolerance,
                              int32_t level);
void CreateMaskFromLuminanceRange(Engine& engine, const uint8_t* picture, int32_t r, int32_t g, int32_t b,
                                  int32_t tolerance, int32_t level);
void CreateMaskFromHueRange(Engine& engine, const uint8_t* picture, int32_t r, int32_t g, int32_t b,
                            int32_t tolerance, int32_t level);
void CreateMaskFromHSLRange(Engine& engine, const uint8_t* picture, int32_t r, int32_t g, int32_t b,
                            double hueTolerance, double saturationTolerance, double lightnessTolerance,
                            int32_t level);

// Weights the alpha of an RGBA32 picture holding the canvas rectangle x0..x1 x y0..y1
// (inclusive, rows `stride` bytes apart) by the mask, in its 8-bit form. The part of the
// rectangle off the canvas is left alone.
void ApplyMaskToAlphaRect(Engine& engine, uint8_t* buffer, int32_t stride, int32_t x0, int32_t y0, int32_t x1,
                          int32_t y1);
// Where alpha lies within the tolerance of `alpha`, the pixel becomes (r, g, b, newAlpha).
void ReplaceFromAlphaRange(Engine& engine, uint8_t* picture, int32_t alpha, int32_t tolerance, int32_t r, int32_t g,
                           int32_t b, int32_t newAlpha);

}  // namespace calv
