// Merging a 4096 x 4096 layer into another under several blend modes. Figures are
// pixels per second.
#include <benchmark/benchmark.h>

#include "api/calvcore.h"
#include "engine/engine.h"

namespace {

constexpr int32_t kSide = 4096;

// Source: opaque, or a soft paint whose alpha varies across the whole range.
void setUp(const char* mode, int32_t opacity, bool opaque) {
    CVX_CreateImage(nullptr, kSide, kSide, 64, 0);
    CVX_CreateLayer(1, kSide, kSide);
    CVX_CreateLayer(2, kSide, kSide);
    CVX_SetLayerOptions(1, 1, 0, 100, "Normal");
    CVX_SetLayerOptions(2, 1, 0, opacity, mode);
    calv::Plane<calv::RGBA64>& src = calv::globalEngine().layers.table[2].pixels;
    for (int32_t y = 0; y < kSide; ++y)
        for (int32_t x = 0; x < kSide; ++x)
            src.at(x, y) = {uint16_t(x * 16), uint16_t(y * 16), uint16_t((x ^ y) * 16),
                            uint16_t(opaque ? 65535 : ((x + y) * 8) & 0xFFFF)};
}

void BM_MergeLayer(benchmark::State& state, const char* mode, int32_t opacity, bool opaque) {
    setUp(mode, opacity, opaque);
    for (auto _ : state) {
        CVX_MergeLayer(2, 1);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * int64_t(kSide) * kSide);
    CVX_DeleteImage();
}
BENCHMARK_CAPTURE(BM_MergeLayer, normal_opaque, "Normal", 100, true)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_MergeLayer, normal_50pct, "Normal", 50, true)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_MergeLayer, multiply, "Multiply", 100, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_MergeLayer, soft_light, "Soft Light", 100, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_MergeLayer, alpha_shader_color, "Alpha Shader Color", 100, false)
    ->Unit(benchmark::kMillisecond);

}  // namespace
