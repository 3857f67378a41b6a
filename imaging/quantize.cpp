#include "imaging/quantize.h"

#include <algorithm>

namespace calv {
namespace {

constexpr int32_t kBins = 32 * 32 * 32;

int32_t binOf(const uint8_t* p) { return (p[0] >> 3) << 10 | (p[1] >> 3) << 5 | (p[2] >> 3); }
int32_t channelOf(int32_t bin, int c) { return (bin >> (10 - 5 * c)) & 31; }

// A box of histogram bins; splitting sorts its bins along one channel and cuts at the
// median of the pixel count.
struct Box {
    std::vector<int32_t> bins;
    int64_t pixels = 0;
    int32_t lo[3] = {31, 31, 31}, hi[3] = {0, 0, 0};

    void measure(const std::vector<int64_t>& counts) {
        pixels = 0;
        for (int c = 0; c < 3; ++c) lo[c] = 31, hi[c] = 0;
        for (int32_t b : bins) {
            pixels += counts[size_t(b)];
            for (int c = 0; c < 3; ++c) lo[c] = std::min(lo[c], channelOf(b, c)), hi[c] = std::max(hi[c], channelOf(b, c));
        }
    }
    int widest() const {
        int best = 0;
        for (int c = 1; c < 3; ++c)
            if (hi[c] - lo[c] > hi[best] - lo[best]) best = c;
        return best;
    }
    int64_t priority() const { return bins.size() < 2 ? -1 : int64_t(hi[widest()] - lo[widest()] + 1) * pixels; }
};

}  // namespace

Palette quantizeMedianCut(const uint8_t* pixels, int64_t count, int32_t channels, int32_t maxColours,
                          std::vector<uint8_t>& indices) {
    std::vector<int64_t> counts(kBins, 0);
    std::vector<std::array<int64_t, 3>> sums(kBins, {0, 0, 0});
    for (int64_t i = 0; i < count; ++i) {
        const uint8_t* p = pixels + i * channels;
        const int32_t b = binOf(p);
        ++counts[size_t(b)];
        for (int c = 0; c < 3; ++c) sums[size_t(b)][size_t(c)] += p[c];
    }
    std::vector<Box> boxes(1);
    for (int32_t b = 0; b < kBins; ++b)
        if (counts[size_t(b)]) boxes[0].bins.push_back(b);
    boxes[0].measure(counts);
    while (int32_t(boxes.size()) < maxColours) {
        auto it = std::max_element(boxes.begin(), boxes.end(),
                                   [](const Box& a, const Box& b) { return a.priority() < b.priority(); });
        if (it->priority() < 0) break;
        const int c = it->widest();
        std::sort(it->bins.begin(), it->bins.end(), [c](int32_t a, int32_t b) { return channelOf(a, c) < channelOf(b, c); });
        int64_t seen = 0;
        std::size_t cut = 1;
        for (; cut < it->bins.size(); ++cut) {
            seen += counts[size_t(it->bins[cut - 1])];
            if (seen * 2 >= it->pixels) break;
        }
        cut = std::min(cut, it->bins.size() - 1);
        Box upper;
        upper.bins.assign(it->bins.begin() + std::ptrdiff_t(cut), it->bins.end());
        it->bins.resize(cut);
        it->measure(counts);
        upper.measure(counts);
        boxes.push_back(std::move(upper));
    }
    Palette palette;
    std::vector<uint8_t> binIndex(kBins, 0);
    for (const Box& box : boxes) {
        std::array<int64_t, 3> total{0, 0, 0};
        for (int32_t b : box.bins)
            for (int c = 0; c < 3; ++c) total[size_t(c)] += sums[size_t(b)][size_t(c)];
        std::array<uint8_t, 3> colour{};
        for (int c = 0; c < 3; ++c) colour[size_t(c)] = uint8_t(box.pixels ? total[size_t(c)] / box.pixels : 0);
        for (int32_t b : box.bins) binIndex[size_t(b)] = uint8_t(palette.colours.size());
        palette.colours.push_back(colour);
    }
    indices.resize(size_t(count));
    for (int64_t i = 0; i < count; ++i) indices[size_t(i)] = binIndex[size_t(binOf(pixels + i * channels))];
    return palette;
}

}  // namespace calv
