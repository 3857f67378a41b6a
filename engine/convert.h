// Conversions between host buffers (no engine state). Strides are in bytes.
#pragma once
#include <cstdint>

#include "engine/pixel.h"

namespace calv {

// Packed colour words of the pick exports: R, G, B, A from the top byte down, and
// A, R, G, B; each byte is the channel's high byte.
constexpr uint32_t packRGBA(RGBA64 p) {
    return uint32_t(narrow16(p.r)) << 24 | uint32_t(narrow16(p.g)) << 16 | uint32_t(narrow16(p.b)) << 8 |
           narrow16(p.a);
}
constexpr uint32_t packARGB(RGBA64 p) {
    return uint32_t(narrow16(p.a)) << 24 | uint32_t(narrow16(p.r)) << 16 | uint32_t(narrow16(p.g)) << 8 |
           narrow16(p.b);
}

// width x height RGBA64 pixels (rows srcStride bytes apart) to RGBA32 or RGB24 host rows.
void RGBA64ToRGBA32(const uint8_t* src, int32_t srcStride, uint8_t* dst, int32_t dstStride, int32_t width,
                    int32_t height);
void RGBA64ToRGB24(const uint8_t* src, int32_t srcStride, uint8_t* dst, int32_t dstStride, int32_t width,
                   int32_t height);

// Packed buffers of count pixels.
void RGB24IntoRGBA32(const uint8_t* src, uint8_t* dst, int64_t count);        // alpha bytes kept
void RGBA32ToRGB24(const uint8_t* src, uint8_t* dst, int64_t count);          // alpha dropped
void RGBA32AlphaToGrey24(const uint8_t* src, uint8_t* dst, int64_t count);    // R = G = B = A
void RGB24GreyIntoAlpha32(const uint8_t* src, uint8_t* dst, int64_t count);   // A = (R + G + B) / 3

}  // namespace calv
