// The effect entry: a name and one parameter block select a recipe that works on the
// effect work images and writes its result into the current layer through the mask.
#pragma once
#include <cstdint>

#include "engine/engine.h"

namespace calv {

struct EffectParams {
    int32_t randomValue = 0;
    int32_t sliders[6] = {};  // tenths of a per cent, 0..1000
    int32_t option1 = 0, option2 = 0;
    int32_t flags[6] = {};  // low bytes used
    int32_t red = 0, green = 0, blue = 0;
    const char* path = nullptr;
};

// Runs the effect `name` on the current layer. False, doing nothing, while either RGBA32
// work image is missing. Names without a recipe run nothing. The RGB24 images are freed.
bool ImageProcess(Engine& engine, const char* name, const EffectParams& params);

}  // namespace calv
