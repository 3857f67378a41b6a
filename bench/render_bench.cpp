// Rendering a full-HD view of ten layers: the background and nine layers, each a third
// covered by half-transparent paint. Figures are milliseconds a frame.
#include <benchmark/benchmark.h>

#include <vector>

#include "api/calvcore.h"
#include "engine/engine.h"

namespace {

constexpr int32_t kW = 1920, kH = 1080;

void setUp() {
    CVX_CreateImage(nullptr, kW, kH, 64, 0);
    CVX_CreateLayer(1, kW, kH);
    CVX_SetLayerOptions(1, 1, 0, 100, "Normal");
    for (int32_t slot = 2; slot <= 10; ++slot) {
        CVX_CreateLayer(slot, kW, kH);
        CVX_SetLayerOptions(slot, 1, 0, 100, "Normal");
        calv::Plane<calv::RGBA64>& p = calv::globalEngine().layers.table[size_t(slot)].pixels;
        // A vertical band a third of the width, shifted per layer.
        const int32_t from = (slot * 211) % (kW - kW / 3);
        for (int32_t y = 0; y < kH; ++y)
            for (int32_t x = from; x < from + kW / 3; ++x)
                p.at(x, y) = {uint16_t(slot * 6000), uint16_t(x * 30), uint16_t(y * 60), 32768};
    }
    CVX_SetLayer(2);
    CVX_SetViewSize(kW, kH);
}

void BM_Render(benchmark::State& state, int32_t scale, float zoom) {
    setUp();
    CVX_SetScale(scale, zoom);
    std::vector<uint8_t> view(size_t(kW) * kH * 3);
    for (auto _ : state) {
        CVX_Render(view.data(), kW * 3, 0, 0, kW, kH);
        benchmark::ClobberMemory();
    }
    CVX_DeleteImage();
}
BENCHMARK_CAPTURE(BM_Render, one_to_one, 1, 1.0f)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Render, reduced_zoom_2, 1, 2.0f)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Render, magnified_scale_3, 3, 1.0f)->Unit(benchmark::kMillisecond);

}  // namespace
