// TGA: true-colour and grey pictures, raw or run-length, read; 32-bit raw written top row first.
#include <algorithm>
#include <cstring>

#include "imaging/codecs/codecs.h"

namespace calv::codec {

bool decodeTGA(Bytes data, std::size_t size, DecodedImage& out) {
    if (size < 18) return false;
    const uint32_t idLength = data[0], mapType = data[1], type = data[2];
    const uint32_t mapLength = le16(data + 5), mapEntryBits = data[7];
    const int32_t width = int32_t(le16(data + 12)), height = int32_t(le16(data + 14));
    const uint32_t bpp = data[16], descriptor = data[17];
    const bool rle = type == 10 || type == 11, grey = type == 3 || type == 11;
    if (!(type == 2 || type == 3 || type == 10 || type == 11) || mapType > 1) return false;
    if (grey ? bpp != 8 : (bpp != 24 && bpp != 32)) return false;
    std::size_t at = 18 + idLength + (mapType ? std::size_t(mapLength) * ((mapEntryBits + 7) / 8) : 0);
    if (at > size || !startImage(out, width, height)) return false;
    const std::size_t bytes = bpp / 8, count = std::size_t(width) * std::size_t(height);
    const bool topFirst = (descriptor & 0x20) != 0;
    auto put = [&](std::size_t i, Bytes p) {
        const std::size_t x = i % std::size_t(width), y = i / std::size_t(width);
        uint8_t* o = &out.rgba[((topFirst ? y : std::size_t(height) - 1 - y) * std::size_t(width) + x) * 4];
        if (grey)
            o[0] = o[1] = o[2] = p[0], o[3] = 255;
        else
            o[0] = p[2], o[1] = p[1], o[2] = p[0], o[3] = bytes == 4 ? p[3] : 255;
    };
    for (std::size_t i = 0; i < count;) {
        std::size_t run = 1;
        bool repeat = false;
        if (rle) {
            if (at >= size) return false;
            repeat = (data[at] & 0x80) != 0;
            run = (data[at] & 0x7F) + 1u;
            ++at;
        }
        run = std::min(run, count - i);
        const std::size_t need = repeat ? bytes : run * bytes;
        if (need > size - at) return false;
        for (std::size_t k = 0; k < run; ++k) put(i + k, data + at + (repeat ? 0 : k * bytes));
        at += need;
        i += run;
    }
    return true;
}

namespace {

class TGALines final : public FileRowWriter {
public:
    TGALines(std::FILE* f, int32_t w, int32_t h) : FileRowWriter(f, h, std::size_t(w) * 4), width_(w) {
        std::vector<uint8_t> header(18, 0);
        header[2] = 2;  // uncompressed true colour
        header[12] = uint8_t(w), header[13] = uint8_t(w >> 8), header[14] = uint8_t(h), header[15] = uint8_t(h >> 8);
        header[16] = 32;
        header[17] = 0x28;  // 8 alpha bits, top row first
        failed_ = w > 65535 || h > 65535;
        writeBytes(header);
    }
    bool writeRow(const uint8_t* row) override {
        for (int32_t x = 0; x < width_ * 4; x += 4) {
            line[std::size_t(x)] = row[x + 2], line[std::size_t(x) + 1] = row[x + 1];
            line[std::size_t(x) + 2] = row[x], line[std::size_t(x) + 3] = row[x + 3];
        }
        return writeLine();
    }

private:
    int32_t width_;
};

}  // namespace

std::unique_ptr<LineWriter> linesTGA(std::FILE* f, int32_t w, int32_t h, int32_t channels) {
    if (channels != 4) {
        std::fclose(f);
        return nullptr;
    }
    return std::make_unique<TGALines>(f, w, h);
}

}  // namespace calv::codec
