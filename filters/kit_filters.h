// The filters of the kit, each over the context of the run in progress.
#pragma once
#include "engine/engine.h"
#include "filters/filter_context.h"

namespace calv::kit {

// Point filters: a pixel's result depends on that pixel alone.
void BasicThreshold(FilterContext& c);
void Grayscale(FilterContext& c);
void Invert(FilterContext& c);
void Channel(FilterContext& c);
void Clamp(FilterContext& c);
void AdjustLab(FilterContext& c);
void HyperContrast(FilterContext& c);
void Fader(Engine& engine, FilterContext& c);

// Smoothing: eight directional sweeps, or neighbourhood means.
void ValueBlur(FilterContext& c);
void NoiseReduction(FilterContext& c);
void NoiseReductionRGB(FilterContext& c);
void AntiAlias(FilterContext& c);
void AdaptiveBlur(FilterContext& c);
void DetailBlur(FilterContext& c);

// Structure and layout.
void LineArtCleaner(Engine& engine, FilterContext& c);
void BasRelief(FilterContext& c);
void MaskDetail(Engine& engine, FilterContext& c);
void Vignette(Engine& engine, FilterContext& c);
void Reflection(FilterContext& c);
void Borderize(FilterContext& c);

}  // namespace calv::kit
