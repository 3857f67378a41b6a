// A row of paint of one colour laid "over" layer pixels at per-pixel coverage, several
// pixels at once in wide registers. The arithmetic is the dab's own over, integer for integer.
#pragma once
#include <cstdint>

#include "engine/pixel.h"

namespace calv {

// One dab's paint for the row: one colour and alpha, normal or multiply laying, and what
// happens to the pixels' alpha.
struct OverRowPaint {
    uint32_t colour[3] = {0, 0, 0};
    uint32_t alpha = 65535;
    bool multiply = false;
    bool alphaFixed = false;     // alpha stays as it is
    bool alphaLevelled = false;  // otherwise alphaLevel is laid in place of the new alpha
    uint16_t alphaLevel = 0;
};

// True when this processor has the wide registers the row needs; dabs then lay their plain
// rows through layOverRow and otherwise pixel by pixel.
bool overRowAvailable();

// Lays `paint` over out[0 .. count) at coverage[i] (0 leaves the pixel as it is). Only
// call when overRowAvailable().
void layOverRow(RGBA64* out, const uint32_t* coverage, int32_t count, const OverRowPaint& paint);

// Lets tests run dabs pixel by pixel on a processor that has the wide registers.
void useOverRowForTesting(bool on);

}  // namespace calv
