// Loading host RGBA32 pictures into a 4096 x 4096 layer, with memcpy of the layer's bytes
// as the yardstick. Figures are pixels per second.
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "api/calvcore.h"
#include "engine/engine.h"

namespace {

constexpr int32_t kSide = 4096;
constexpr int64_t kPixels = int64_t(kSide) * kSide;

std::vector<uint8_t> makePicture() {
    std::vector<uint8_t> picture(size_t(kPixels) * 4);
    for (size_t i = 0; i < picture.size(); ++i) picture[i] = uint8_t(i * 31 + (i >> 12));
    return picture;
}

void setUpCanvas(uint16_t maskValue, bool maskEnabled) {
    CVX_CreateImage(nullptr, kSide, kSide, 64, 0);
    CVX_CreateLayer(2, kSide, kSide);
    CVX_SetLayerOptions(2, 1, 0, 100, "Normal");
    CVX_SetLayer(2);
    calv::Engine& e = calv::globalEngine();
    e.mask.plane.fill(maskValue);
    e.mask.enabled = maskEnabled;
}

void BM_LoadRGBA32Layer(benchmark::State& state, bool masked) {
    const auto picture = makePicture();
    setUpCanvas(masked ? 0x8000 : 0xFFFF, masked);
    for (auto _ : state) {
        CVX_LoadRGBA32Layer(picture.data(), kSide * 4, 2, 0, 0, kSide, kSide, masked ? 1 : 0);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kPixels);
    CVX_DeleteImage();
}
BENCHMARK_CAPTURE(BM_LoadRGBA32Layer, unmasked, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_LoadRGBA32Layer, masked_half_open, true)->Unit(benchmark::kMillisecond);

void BM_MemcpyLayerBytes(benchmark::State& state) {
    std::vector<uint8_t> from(size_t(kPixels) * 8, 1), to(size_t(kPixels) * 8);
    for (auto _ : state) {
        std::memcpy(to.data(), from.data(), to.size());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kPixels);
}
BENCHMARK(BM_MemcpyLayerBytes)->Unit(benchmark::kMillisecond);

}  // namespace
