// Drawing and blurring on 8-bit planes (rows `width` bytes), for the filters' weight maps.
#pragma once
#include <cstdint>

namespace calv {

// Fills columns left..right-1 and rows top..bottom-1, clipped to the plane.
void fillRect8(uint8_t* plane, int32_t width, int32_t height, int32_t left, int32_t top, int32_t right,
               int32_t bottom, uint8_t value);
// Fills the ellipse centred on (cx, cy) with half-axes rx and ry, clipped to the plane.
void fillEllipse8(uint8_t* plane, int32_t width, int32_t height, int32_t cx, int32_t cy, int32_t rx, int32_t ry,
                  uint8_t value);
// Gaussian blur reaching `radius` pixels (sigma = radius / 3), edges replicated.
void gaussianBlur8(const uint8_t* src, uint8_t* dst, int32_t width, int32_t height, double radius);

}  // namespace calv
