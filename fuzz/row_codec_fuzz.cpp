// Feeds arbitrary bytes to the row decoders. The first two bytes give the pixel count;
// the rest is the stream, decoded with its length into buffers sized for the count.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "engine/row_codec.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    const int32_t count = int32_t(data[0]) | int32_t(data[1]) << 8;
    std::vector<calv::RGBA64> colour(static_cast<size_t>(count));
    std::vector<calv::G16> mask(static_cast<size_t>(count));
    calv::DecodeColourRuns(data + 2, size - 2, colour.data(), count);
    calv::DecodeMaskRuns(data + 2, size - 2, mask.data(), count);
    return 0;
}
