// The mask as a grey picture: black is open, white protected.
#pragma once
#include <cstdint>

#include "mask/mask_state.h"

namespace calv {

// 8-bit grey g to a mask value: 0 opens fully, otherwise (255 - g) x 256.
constexpr uint16_t maskFromGrey8(uint32_t g) { return g == 0 ? kMaskOpen : uint16_t((255 - (g & 255)) << 8); }

// A mask value to 8-bit grey.
constexpr uint8_t greyFromMask(uint16_t m) { return uint8_t(255 - (m >> 8)); }

// A 16-bit grey (8-bit x 256, 0..65280) to a mask value: up to 255 opens fully, above
// 65280 protects fully.
constexpr uint16_t maskFromGrey16(uint32_t grey) {
    return grey <= 255 ? kMaskOpen : grey > 65280 ? 0 : uint16_t(65280 - grey);
}

// The mask value a colour paints (16-bit channels): its grey is the mean of the three.
constexpr uint16_t maskFromColour(uint32_t r, uint32_t g, uint32_t b) { return maskFromGrey16((r + g + b) / 3); }

}  // namespace calv
