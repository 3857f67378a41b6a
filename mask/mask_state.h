// The selection mask: 65535 open, 0 protected, gating writes while enabled.
#pragma once
#include <cstdint>

#include "engine/pixel.h"
#include "engine/plane.h"

namespace calv {

constexpr uint16_t kMaskOpen = 65535;

struct MaskState {
    Plane<G16> plane;  // canvas-sized
    bool enabled = false;
    bool displayed = false;
    // The view's selection overlay: two colours (8-bit components x 256) in a 32-pixel
    // checkerboard, at full or half strength.
    int32_t colourA[3] = {0, 0, 0};
    int32_t colourB[3] = {0, 0, 0};
    int32_t fullStrength = 0;

    // The mask gates writes only while enabled and present.
    bool gating() const { return enabled && !plane.empty(); }
};

}  // namespace calv
