#include "effects/dispatcher.h"

#include <cstring>

#include "effects/work_images.h"
#include "engine/masked_load.h"
#include "filters/filter_kit.h"
#include "mask/adjust.h"
#include "mask/mask_ops.h"

namespace calv {
namespace {

// Effects that run one filter of the kit: the kit's name, and whether the colour is
// premultiplied around it.
constexpr struct {
    const char* effect;
    const char* kitName;
    bool premultiplied;
} kKitEffects[] = {
    {"Anti Alias", "Anti Alias", true},
    {"Smart Blur", "Noise Reduction", true},
    {"Adaptive Blur", "Adaptive Blur", true},
    {"Detail Blur", "Detail Blur", true},
    {"Value Blur", "Value Blur", true},
    {"Noise Reduction", "Noise Reduction", true},
    {"Noise Reduction RGB", "Noise Reduction RGB", true},
    {"Hyper Contrast", "Hyper Contrast", false},
    {"Adjust Lab", "Adjust Lab", false},
    {"Channel", "Channel", false},
    {"Fader", "Fader", false},
    {"Basic Threshold", "Basic Threshold", false},
    {"Line Art Cleaner", "Line Art Cleaner", false},
    {"Clamp", "Clamp", false},
    {"Bas Relief", "Bas Relief", false},
    {"Vignette", "Vignette", false},
    {"Borderize", "Borderize", false},
    {"Reflection", "Reflection", false},
    {"Mask Detail", "Mask Detail", false},
};

// The result in the destination image goes into the current layer through the mask.
void maskedWriteBack(Engine& engine) {
    Layer* layer = engine.layers.currentWithPixels();
    const Plane<RGBA32>& d = engine.effects.dest32;
    if (!layer) return;
    LoadRGBA32Layer(engine, reinterpret_cast<const uint8_t*>(d.data()), d.width() * 4, *layer, 0, 0, layer->width(),
                    layer->height(), true);
}

void runKitEffect(Engine& engine, const char* kitName, bool premultiplied, const EffectParams& p) {
    EffectsState& e = engine.effects;
    UpdateSrcBuffer32(engine);
    if (premultiplied) PremultiplyRGBA32(reinterpret_cast<uint8_t*>(e.source32.data()), e.source32.width(), e.source32.height());
    if (std::strcmp(kitName, "Mask Detail") == 0 && uint8_t(p.flags[0]) == 1) ClearMask(engine.mask, 0, 0, 0);
    FilterArgs args;
    for (int k = 0; k < 6; ++k) args.sliders[k] = p.sliders[k], args.flags[k] = p.flags[k];
    args.option1 = p.option1;
    FilterKitRun(engine, kitName, args);
    if (premultiplied) UnpremultiplyRGBA32(reinterpret_cast<uint8_t*>(e.dest32.data()), e.dest32.width(), e.dest32.height());
    maskedWriteBack(engine);
}

}  // namespace

bool ImageProcess(Engine& engine, const char* name, const EffectParams& params) {
    EffectsState& e = engine.effects;
    if (e.source32.empty() || e.dest32.empty()) return false;
    if (name)
        for (const auto& k : kKitEffects)
            if (std::strcmp(name, k.effect) == 0) runKitEffect(engine, k.kitName, k.premultiplied, params);
    e.source24.release();
    e.dest24.release();
    return true;
}

}  // namespace calv
