// Colour quantization to a palette built from the picture.
#pragma once
#include <array>
#include <cstdint>
#include <vector>

namespace calv {

struct Palette {
    std::vector<std::array<uint8_t, 3>> colours;  // at most 256
};

// Median cut over a 5-bit-per-channel histogram of the picture (`channels` bytes a pixel,
// first three R, G, B): a palette of at most `maxColours` entries, each the mean colour of
// its box, and for every pixel the index of the box its colour fell in.
Palette quantizeMedianCut(const uint8_t* pixels, int64_t count, int32_t channels, int32_t maxColours,
                          std::vector<uint8_t>& indices);

}  // namespace calv
