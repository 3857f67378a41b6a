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

// What a mix mode makes of paint P over pixel D, before any mixing with the paint.
struct ModeValue {
    enum Kind {
        Mixed,    // f is mixed with the paint by the mix amount
        Unmixed,  // f is laid as it is
        Keep,     // the pixel stays
        Grey,     // grey paint (f) whose opacity is the paint's brightness
    } kind = Mixed;
    uint32_t f[3] = {0, 0, 0};
};

// Where a mode is used: in a dab, or mixing a plane into the blend buffer (where the
// gradient's lower half is positioned by the channel sum rather than the brightness).
enum class ModeSite { Dab, BlendBuffer };

// The value of mode `mode` (above 33) for paint P and (adjusted) pixel D; L is the
// paint's brightness (Pr + Pg + Pb) / 3.
ModeValue MixModeValue(const BrushSettings& b, int32_t mode, const uint32_t P[3], const uint32_t D[3], uint32_t L,
                       ModeSite site);

// Lays paint P (straight 16-bit) at coverage w (1..65535) over pixel D under the brush's
// mix mode (above 33).
MixResult MixPixel(const BrushSettings& b, const uint32_t P[4], uint32_t w, const uint32_t D[4], bool erase);

}  // namespace calv
