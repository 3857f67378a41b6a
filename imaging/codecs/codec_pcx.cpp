// PCX: 8-bit paletted and 24-bit (three planes) run-length pictures read; 24-bit written.
#include <algorithm>

#include "imaging/codecs/codecs.h"

namespace calv::codec {

bool decodePCX(Bytes data, std::size_t size, DecodedImage& out) {
    if (size < 128 || data[0] != 10 || data[2] != 1 || data[3] != 8) return false;
    const int32_t width = int32_t(le16(data + 8)) - int32_t(le16(data + 4)) + 1;
    const int32_t height = int32_t(le16(data + 10)) - int32_t(le16(data + 6)) + 1;
    const uint32_t planes = data[65], lineBytes = le16(data + 66);
    if ((planes != 1 && planes != 3 && planes != 4) || lineBytes < uint32_t(std::max(width, 0))) return false;
    Bytes palette = nullptr;
    if (planes == 1) {
        if (size < 128 + 769 || data[size - 769] != 12) return false;
        palette = data + size - 768;
    }
    if (!startImage(out, width, height)) return false;
    std::vector<uint8_t> scan(std::size_t(lineBytes) * planes);
    std::size_t at = 128;
    const std::size_t end = palette ? size - 769 : size;
    for (int32_t y = 0; y < height; ++y) {
        // Runs may cross plane boundaries within a scanline.
        for (std::size_t filled = 0; filled < scan.size();) {
            if (at >= end) return false;
            uint8_t v = data[at++];
            std::size_t run = 1;
            if ((v & 0xC0) == 0xC0) {
                run = v & 0x3F;
                if (at >= end) return false;
                v = data[at++];
            }
            run = std::min(run, scan.size() - filled);
            std::fill_n(scan.begin() + std::ptrdiff_t(filled), run, v);
            filled += run;
        }
        uint8_t* o = &out.rgba[std::size_t(y) * std::size_t(width) * 4];
        for (int32_t x = 0; x < width; ++x, o += 4) {
            if (palette) {
                Bytes c = palette + std::size_t(scan[std::size_t(x)]) * 3;
                o[0] = c[0], o[1] = c[1], o[2] = c[2], o[3] = 255;
            } else {
                for (uint32_t c = 0; c < 3; ++c) o[c] = scan[c * lineBytes + std::size_t(x)];
                o[3] = planes == 4 ? scan[3 * lineBytes + std::size_t(x)] : 255;
            }
        }
    }
    return true;
}

bool writePCX(std::FILE* f, const uint8_t* pixels, int32_t w, int32_t h, int32_t channels) {
    std::vector<uint8_t> out(128, 0);
    const uint32_t lineBytes = uint32_t(w + (w & 1));
    out[0] = 10, out[1] = 5, out[2] = 1, out[3] = 8;
    auto set16 = [&](std::size_t at, uint32_t v) { out[at] = uint8_t(v), out[at + 1] = uint8_t(v >> 8); };
    set16(8, uint32_t(w - 1)), set16(10, uint32_t(h - 1)), set16(12, 72), set16(14, 72);
    out[65] = 3;
    set16(66, lineBytes), set16(68, 1);
    bool ok = w > 0 && h > 0 && w <= 65535 && h <= 65535;
    for (int32_t y = 0; ok && y < h; ++y)
        for (int c = 0; c < 3; ++c) {
            const uint8_t* row = pixels + std::size_t(y) * std::size_t(w) * std::size_t(channels);
            for (uint32_t x = 0; x < lineBytes;) {
                auto value = [&](uint32_t i) { return i < uint32_t(w) ? row[std::size_t(i) * std::size_t(channels) + std::size_t(c)] : uint8_t(0); };
                const uint8_t v = value(x);
                uint32_t run = 1;
                while (run < 63 && x + run < lineBytes && value(x + run) == v) ++run;
                if (run > 1 || (v & 0xC0) == 0xC0) out.push_back(uint8_t(0xC0 | run));
                out.push_back(v);
                x += run;
            }
        }
    ok = ok && std::fwrite(out.data(), 1, out.size(), f) == out.size();
    return std::fclose(f) == 0 && ok;
}

}  // namespace calv::codec
