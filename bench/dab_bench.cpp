// Dabs per second into the paint layer, laid as a stroke: dab centres one radius apart
// along a line that wraps around a 2048 x 2048 canvas.
#include <benchmark/benchmark.h>

#include <algorithm>

#include "api/calvcore.h"

namespace {

constexpr int32_t kSide = 2048;

enum class Kind { Direct, DirectSoft, GritAndVariation, BlendRemix, MixMode };

void setUp(int32_t size, Kind kind) {
    CVX_SetRandomSeed(5);
    CVX_CreateImage(nullptr, kSide, kSide, 256, 0);
    CVX_CreateLayer(1, kSide, kSide);
    CVX_CreateLayer(2, kSide, kSide);
    CVX_SetLayer(2);
    CVX_SetSize(size);
    CVX_SetAlpha(100);
    CVX_SetDensity(200);
    const bool grit = kind == Kind::GritAndVariation;
    const int32_t blend = kind == Kind::BlendRemix ? 128 : 0;
    if (grit) {
        CVX_SetPixColorVary(30);
        CVX_SetPixLumVary(20);
    }
    const int32_t softness = kind == Kind::DirectSoft ? 200 : 0;
    CVX_SetTool(1.0f, grit ? 3 : 0, 120, 160, softness, 0, 8, blend, 64, blend ? 1 : 0, 0, 0, 0, "", "", 0);
    if (kind == Kind::MixMode) CVX_SetMixMode(40, 200);  // Overlay
    CVX_CreatePaintLayer(100, "Normal");
}

void BM_DabStroke(benchmark::State& state, Kind kind) {
    const int32_t size = int32_t(state.range(0));
    setUp(size, kind);
    const int32_t step = std::max(size / 2, 1);
    int32_t x = 0, y = 0;
    for (auto _ : state) {
        CVX_DrawDabGrit(x, y, 50000, 30000, 10000);
        CVX_DecDrawingLength();
        x += step;
        y += step / 3;
        if (x >= kSide) x -= kSide;
        if (y >= kSide) y -= kSide;
    }
    state.SetItemsProcessed(state.iterations());
    CVX_DeleteImage();
}
BENCHMARK_CAPTURE(BM_DabStroke, direct_hard, Kind::Direct)->Arg(16)->Arg(64)->Arg(256);
BENCHMARK_CAPTURE(BM_DabStroke, direct_soft, Kind::DirectSoft)->Arg(16)->Arg(64)->Arg(256);
BENCHMARK_CAPTURE(BM_DabStroke, grit_and_variation, Kind::GritAndVariation)->Arg(16)->Arg(64)->Arg(256);
BENCHMARK_CAPTURE(BM_DabStroke, blend_remix, Kind::BlendRemix)->Arg(16)->Arg(64)->Arg(256);
BENCHMARK_CAPTURE(BM_DabStroke, mix_overlay, Kind::MixMode)->Arg(64);

}  // namespace
