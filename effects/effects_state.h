// The effect work images the host allocates through the effect exports.
#pragma once
#include "engine/pixel.h"
#include "engine/plane.h"
#include "filters/filter_context.h"

namespace calv {

struct EffectsState {
    Plane<RGBA32> source32, dest32;
    Plane<RGB24> source24, dest24;
    FilterContext kit;  // the filter kit's last run

    void releaseAll() {
        source32.release();
        dest32.release();
        source24.release();
        dest24.release();
    }
};

}  // namespace calv
