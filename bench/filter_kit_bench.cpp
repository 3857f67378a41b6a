// The filter kit on a 4096 x 4096 picture. Figures are pixels per second.
#include <benchmark/benchmark.h>

#include <vector>

#include "engine/engine.h"
#include "filters/filter_kit.h"

namespace {

constexpr int32_t kSide = 4096;

// A picture with gradients and fine noise, so that thresholds split pixels both ways.
std::vector<calv::RGBA32> picture() {
    std::vector<calv::RGBA32> p(size_t(kSide) * kSide);
    uint32_t seed = 1;
    for (int32_t y = 0; y < kSide; ++y)
        for (int32_t x = 0; x < kSide; ++x) {
            seed = seed * 1103515245u + 12345u;
            const uint8_t noise = uint8_t((seed >> 16) & 15);
            p[size_t(y) * kSide + x] = {uint8_t((x >> 4) + noise), uint8_t((y >> 4) + noise), uint8_t((x ^ y) >> 4), 255};
        }
    return p;
}

void BM_FilterKit(benchmark::State& state, const char* name, calv::FilterArgs args) {
    const std::vector<calv::RGBA32> source = picture();
    std::vector<calv::RGBA32> work(source.size()), destination(source.size());
    for (auto _ : state) {
        work = source;  // the sweeps work in place; every run starts from the same picture
        calv::FilterKitRun(calv::globalEngine(), work.data(), destination.data(), kSide, kSide, name, args);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * int64_t(kSide) * kSide);
}

calv::FilterArgs sliders(int32_t s1, int32_t s2) {
    calv::FilterArgs a;
    a.sliders[0] = s1, a.sliders[1] = s2;
    return a;
}

BENCHMARK_CAPTURE(BM_FilterKit, value_blur, "Value Blur", sliders(0, 600))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_FilterKit, noise_reduction, "Noise Reduction", sliders(800, 100))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_FilterKit, hyper_contrast, "Hyper Contrast", sliders(400, 0))->Unit(benchmark::kMillisecond);

}  // namespace
