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

    // The mask gates writes only while enabled and present.
    bool gating() const { return enabled && !plane.empty(); }
};

}  // namespace calv
