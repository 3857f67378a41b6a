// Run-length row codecs for storing layers and the mask. Colour runs are 5 bytes
// (count 1..255, then the high bytes of R, G, B, A); mask runs are 2 bytes (count, high
// byte). Streams carry no header, count or terminator: the reader knows the pixel count.
#pragma once
#include <cstddef>
#include <cstdint>

#include "engine/engine.h"

namespace calv {

constexpr int32_t kColourRunBytes = 5;
constexpr int32_t kMaskRunBytes = 2;
constexpr int32_t kLongestRun = 255;

// Encode `count` pixels into `dst` (room for 5 or 2 bytes a pixel); return the bytes
// written. A count below 2 writes one run of the first pixel.
std::size_t EncodeColourRuns(const RGBA64* src, int32_t count, uint8_t* dst);
std::size_t EncodeMaskRuns(const G16* src, int32_t count, uint8_t* dst);

// Decode runs from `src` (`srcBytes` available) until `count` pixels are written; a run
// longer than what is left is cut, and decoding stops at the end of the input.
void DecodeColourRuns(const uint8_t* src, std::size_t srcBytes, RGBA64* dst, int32_t count);
void DecodeMaskRuns(const uint8_t* src, std::size_t srcBytes, G16* dst, int32_t count);

// Canvas row `row` of a layer or of the mask. Get returns the bytes written, 0 when there
// is no plane or the row is outside the canvas or the plane.
int32_t GetLayerLineRLE(Engine& engine, const Layer& layer, int32_t row, uint8_t* dst);
void PutLayerLineRLE(Engine& engine, Layer& layer, int32_t row, const uint8_t* src);
int32_t GetMaskLineRLE(Engine& engine, int32_t row, uint8_t* dst);
void PutMaskLineRLE(Engine& engine, int32_t row, const uint8_t* src);

}  // namespace calv
