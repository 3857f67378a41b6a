#include "filters/filter_kit.h"

#include <cstring>

#include "filters/kit_filters.h"

namespace calv {
namespace {

using Filter = void (*)(Engine&, FilterContext&);

template <void (*F)(FilterContext&)>
void contextOnly(Engine&, FilterContext& c) {
    F(c);
}

// The names, in the order they are compared.
constexpr struct {
    const char* name;
    Filter run;
} kFilters[] = {
    {"Anti Alias", contextOnly<kit::AntiAlias>},
    {"Adaptive Blur", contextOnly<kit::AdaptiveBlur>},
    {"Line Art Cleaner", kit::LineArtCleaner},
    {"Basic Threshold", contextOnly<kit::BasicThreshold>},
    {"Adjust Lab", contextOnly<kit::AdjustLab>},
    {"Detail Blur", contextOnly<kit::DetailBlur>},
    {"Value Blur", contextOnly<kit::ValueBlur>},
    {"Noise Reduction", contextOnly<kit::NoiseReduction>},
    {"Noise Reduction RGB", contextOnly<kit::NoiseReductionRGB>},
    {"Hyper Contrast", contextOnly<kit::HyperContrast>},
    {"Bas Relief", contextOnly<kit::BasRelief>},
    {"Grayscale", contextOnly<kit::Grayscale>},
    {"Invert", contextOnly<kit::Invert>},
    {"Vignette", kit::Vignette},
    {"Channel", contextOnly<kit::Channel>},
    {"Reflection", contextOnly<kit::Reflection>},
    {"Fader", kit::Fader},
    {"Borderize", contextOnly<kit::Borderize>},
    {"Clamp", contextOnly<kit::Clamp>},
    {"Mask Detail", kit::MaskDetail},
};

void run(Engine& engine, RGBA32* source, RGBA32* destination, int32_t width, int32_t height, const char* name,
         const FilterArgs& args) {
    FilterContext& c = engine.effects.kit;
    c = FilterContext{};
    c.source = source;
    c.destination = destination;
    c.width = std::max(width, 0);
    c.height = std::max(height, 0);
    c.stride = c.width * 4;
    c.chained = args.chained != 0;
    for (int k = 0; k < 6; ++k) c.S[k] = args.sliders[k] * 0.001, c.F[k] = uint8_t(args.flags[k]);
    c.O1 = args.option1;
    if (!c.chained) std::memcpy(destination, source, std::size_t(c.width) * std::size_t(c.height) * sizeof(RGBA32));
    if (!name) return;
    for (const auto& f : kFilters)
        if (std::strcmp(name, f.name) == 0) f.run(engine, c);
}

}  // namespace

bool FilterKitRun(Engine& engine, const char* name, const FilterArgs& args) {
    EffectsState& e = engine.effects;
    if (e.source32.empty() || e.dest32.empty()) return false;
    // Both are allocated canvas-sized; should they ever differ, the kit covers what both hold.
    const int32_t width = std::min(e.source32.width(), e.dest32.width());
    const int32_t height = std::min(e.source32.height(), e.dest32.height());
    if (e.source32.width() != e.dest32.width()) return false;
    run(engine, e.source32.data(), e.dest32.data(), width, height, name, args);
    return true;
}

void FilterKitRun(Engine& engine, RGBA32* source, RGBA32* destination, int32_t width, int32_t height,
                  const char* name, const FilterArgs& args) {
    if (!source || !destination) return;
    run(engine, source, destination, width, height, name, args);
}

}  // namespace calv
