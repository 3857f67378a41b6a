// Encoding and decoding one 4096-pixel row of a painted layer. Figures are pixels per
// second.
#include <benchmark/benchmark.h>

#include <vector>

#include "engine/row_codec.h"

namespace {

constexpr int32_t kRow = 4096;

// Smooth gradients broken by blocks of noise: runs from 1 to a few dozen pixels.
std::vector<calv::RGBA64> paintedRow() {
    std::vector<calv::RGBA64> row(kRow);
    uint32_t noise = 12345;
    for (int32_t x = 0; x < kRow; ++x) {
        noise = noise * 1103515245u + 12345u;
        const bool noisy = (x / 64) % 3 == 0;
        const uint16_t g = uint16_t(((x / 24) & 255) << 8);
        row[size_t(x)] = {uint16_t(noisy ? noise >> 16 : g), g, uint16_t((x / 200) << 10), 65535};
    }
    return row;
}

void BM_RowEncode(benchmark::State& state) {
    const auto row = paintedRow();
    std::vector<uint8_t> stream(kRow * calv::kColourRunBytes);
    for (auto _ : state) benchmark::DoNotOptimize(calv::EncodeColourRuns(row.data(), kRow, stream.data()));
    state.SetItemsProcessed(state.iterations() * kRow);
    state.counters["bytes"] = double(calv::EncodeColourRuns(row.data(), kRow, stream.data()));
}
BENCHMARK(BM_RowEncode);

void BM_RowDecode(benchmark::State& state) {
    const auto row = paintedRow();
    std::vector<uint8_t> stream(kRow * calv::kColourRunBytes);
    const std::size_t n = calv::EncodeColourRuns(row.data(), kRow, stream.data());
    std::vector<calv::RGBA64> out(kRow);
    for (auto _ : state) {
        calv::DecodeColourRuns(stream.data(), n, out.data(), kRow);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kRow);
}
BENCHMARK(BM_RowDecode);

}  // namespace
