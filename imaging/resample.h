// Scaling of pictures with interleaved 8-bit channels.
#pragma once
#include <cstdint>

namespace calv {

// Scales a w x h picture of `channels` bytes a pixel (rows packed) to tw x th: area
// averaging when both sides shrink, bilinear otherwise. False for empty sizes.
bool resamplePicture(const uint8_t* src, int32_t w, int32_t h, uint8_t* dst, int32_t tw, int32_t th, int32_t channels);

// Turns a w x h picture of `channels` bytes a pixel about its centre by `degrees`
// (counter-clockwise), keeping its size; corners that come from outside are zero.
bool rotatePicture(uint8_t* pixels, int32_t w, int32_t h, int32_t channels, double degrees);

}  // namespace calv
