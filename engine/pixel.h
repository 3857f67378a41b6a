// Pixel formats of the engine and the one set of 8/16-bit rules every subsystem uses.
#pragma once
#include <cstdint>

namespace calv {

// Straight (not premultiplied) 16-bit RGBA: the format of every layer plane.
struct RGBA64 {
    uint16_t r, g, b, a;
    friend bool operator==(const RGBA64&, const RGBA64&) = default;
};
// Host formats: bytes R, G, B, A and R, G, B.
struct RGBA32 {
    uint8_t r, g, b, a;
    friend bool operator==(const RGBA32&, const RGBA32&) = default;
};
struct RGB24 {
    uint8_t r, g, b;
    friend bool operator==(const RGB24&, const RGB24&) = default;
};
using G16 = uint16_t;
using G8 = uint8_t;

static_assert(sizeof(RGBA64) == 8 && sizeof(RGBA32) == 4 && sizeof(RGB24) == 3);

constexpr uint16_t kFullAlpha16 = 65535;

// 8 to 16 bits: the byte goes to the high byte, so 255 becomes 65280 (never 65535).
constexpr uint16_t widen8(uint8_t v) { return uint16_t(v << 8); }
// 16 to 8 bits: the high byte, truncating.
constexpr uint8_t narrow16(uint16_t v) { return uint8_t(v >> 8); }
// RGB24 grey: the truncated mean of the three bytes.
constexpr uint8_t greyOf(uint8_t r, uint8_t g, uint8_t b) { return uint8_t((unsigned(r) + g + b) / 3); }

// A signed intermediate result kept to the 16-bit channel range.
constexpr uint32_t clampTo16(int64_t v) { return uint32_t(v < 0 ? 0 : v > 65535 ? 65535 : v); }

constexpr RGBA64 widen(RGBA32 p) { return {widen8(p.r), widen8(p.g), widen8(p.b), widen8(p.a)}; }
constexpr RGBA32 narrow(RGBA64 p) { return {narrow16(p.r), narrow16(p.g), narrow16(p.b), narrow16(p.a)}; }
constexpr RGB24 narrowRGB(RGBA64 p) { return {narrow16(p.r), narrow16(p.g), narrow16(p.b)}; }

}  // namespace calv
