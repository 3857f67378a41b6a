// Mix modes above 33: how a dab's paint combines with the pixel under it.
#pragma once
#include <cstdint>

#include "brush/brush_state.h"

namespace calv {

struct MixResult {
    uint32_t out[3];  // colour laid
    uint32_t alpha;   // new alpha
    uint32_t dest[3]; // the pixel's colour as adjusted towards the paint (for remix)
};

// Lays paint P (straight 16-bit) at coverage w (1..65535) over pixel D under the brush's
// mix mode (above 33).
MixResult MixPixel(const BrushSettings& b, const uint32_t P[4], uint32_t w, const uint32_t D[4], bool erase);

}  // namespace calv
