// Masks from colour ranges and the 8-bit pre- and post-filters on a 4096 x 4096 canvas.
// Figures are pixels per second.
#include <benchmark/benchmark.h>

#include <vector>

#include "api/calvcore.h"

namespace {

constexpr int32_t kSide = 4096;

// Gradients and partial alpha, so that range tests and the filters split pixels both ways.
std::vector<uint8_t> picture() {
    std::vector<uint8_t> p(size_t(kSide) * kSide * 4);
    for (int32_t y = 0; y < kSide; ++y)
        for (int32_t x = 0; x < kSide; ++x) {
            uint8_t* q = &p[(size_t(y) * kSide + x) * 4];
            q[0] = uint8_t(x >> 4), q[1] = uint8_t(y >> 4), q[2] = uint8_t((x ^ y) >> 4), q[3] = uint8_t(x + y);
        }
    return p;
}

void colourRange(const uint8_t* p) { CVX_CreateMaskFromRGBAImageColorRange(p, 128, 100, 60, 20, 0); }
void hueRange(const uint8_t* p) { CVX_CreateMaskFromRGBAImageHueRange(p, 255, 0, 0, 10, 0); }

void BM_RangeMask(benchmark::State& state, void (*build)(const uint8_t*)) {
    CVX_CreateImage(nullptr, kSide, kSide, 16, 0);
    const std::vector<uint8_t> p = picture();
    for (auto _ : state) {
        build(p.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * int64_t(kSide) * kSide);
    CVX_DeleteImage();
}
BENCHMARK_CAPTURE(BM_RangeMask, colour_range, colourRange)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_RangeMask, hue_range, hueRange)->Unit(benchmark::kMillisecond);

void BM_PreAndPostFilter(benchmark::State& state) {
    std::vector<uint8_t> p = picture();
    for (auto _ : state) {
        CVX_AdjustRGBA32PreFilter(p.data(), kSide, kSide);
        CVX_AdjustRGBA32PostFilter(p.data(), kSide, kSide);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * int64_t(kSide) * kSide);
}
BENCHMARK(BM_PreAndPostFilter)->Unit(benchmark::kMillisecond);

}  // namespace
