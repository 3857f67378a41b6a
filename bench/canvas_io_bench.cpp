// Reading a 4096 x 4096 layer back as RGBA32. Figures are pixels per second.
#include <benchmark/benchmark.h>

#include <vector>

#include "api/calvcore.h"

namespace {

constexpr int32_t kSide = 4096;

void BM_GetRGBA32Layer(benchmark::State& state) {
    CVX_CreateImage(nullptr, kSide, kSide, 64, 0);
    CVX_CreateLayer(1, kSide, kSide);
    std::vector<uint8_t> out(size_t(kSide) * kSide * 4);
    for (auto _ : state) {
        CVX_GetRGBA32Layer(out.data(), kSide * 4, 1);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * int64_t(kSide) * kSide);
    CVX_DeleteImage();
}
BENCHMARK(BM_GetRGBA32Layer)->Unit(benchmark::kMillisecond);

}  // namespace
