// BMP: 1-, 4-, 8-, 24- and 32-bit uncompressed pictures read; 24-bit written bottom row first.
#include <algorithm>
#include <cstring>

#include "imaging/codecs/codecs.h"

namespace calv::codec {
namespace {

constexpr std::size_t kFileHeader = 14;

}  // namespace

bool decodeDIB(Bytes info, std::size_t size, Bytes bits, std::size_t bitsSize, DecodedImage& out) {
    if (size < 40) return false;
    const uint32_t headerSize = le32(info);
    const int32_t width = int32_t(le32(info + 4)), rawHeight = int32_t(le32(info + 8));
    const uint32_t bpp = le16(info + 14), compression = le32(info + 16);
    if (headerSize < 40 || headerSize > size || rawHeight == INT32_MIN) return false;
    const bool topDown = rawHeight < 0;
    const int32_t height = topDown ? -rawHeight : rawHeight;
    if (!(compression == 0 || (compression == 3 && bpp == 32))) return false;
    if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 24 && bpp != 32) return false;
    if (!acceptableSize(width, height)) return false;
    uint32_t colours = le32(info + 32);
    if (bpp <= 8 && colours == 0) colours = 1u << bpp;
    if (bpp <= 8 && (colours > 256 || std::size_t(headerSize) + colours * 4 > size)) return false;
    Bytes palette = info + headerSize;
    const std::size_t rowBytes = ((std::size_t(width) * bpp + 31) / 32) * 4;
    if (rowBytes * std::size_t(height) > bitsSize) return false;
    if (!startImage(out, width, height)) return false;
    bool anyAlpha = false;
    for (int32_t y = 0; y < height; ++y) {
        Bytes row = bits + rowBytes * std::size_t(topDown ? y : height - 1 - y);
        uint8_t* o = &out.rgba[std::size_t(y) * std::size_t(width) * 4];
        for (int32_t x = 0; x < width; ++x, o += 4) {
            if (bpp >= 24) {
                Bytes p = row + std::size_t(x) * (bpp / 8);
                o[0] = p[2], o[1] = p[1], o[2] = p[0], o[3] = bpp == 32 ? p[3] : 255;
                anyAlpha = anyAlpha || (bpp == 32 && p[3] != 0);
            } else {
                const std::size_t bit = std::size_t(x) * bpp;
                const uint32_t index = (row[bit / 8] >> (8 - bpp - bit % 8)) & ((1u << bpp) - 1);
                if (index >= colours) return false;
                Bytes c = palette + index * 4;
                o[0] = c[2], o[1] = c[1], o[2] = c[0], o[3] = 255;
            }
        }
    }
    // 32-bit files that leave the fourth byte zero everywhere mean an opaque picture.
    if (bpp == 32 && !anyAlpha)
        for (std::size_t i = 3; i < out.rgba.size(); i += 4) out.rgba[i] = 255;
    return true;
}

void toDIBRow(const uint8_t* row, int32_t w, int32_t channels, uint8_t* out) {
    for (int32_t x = 0; x < w; ++x, row += channels, out += 3) out[0] = row[2], out[1] = row[1], out[2] = row[0];
}

bool decodeBMP(Bytes data, std::size_t size, DecodedImage& out) {
    if (size < kFileHeader + 40 || data[0] != 'B' || data[1] != 'M') return false;
    const uint32_t bitsAt = le32(data + 10);
    if (bitsAt >= size || bitsAt < kFileHeader + 40) return false;
    return decodeDIB(data + kFileHeader, bitsAt - kFileHeader, data + bitsAt, size - bitsAt, out);
}

FileResolution resolutionBMP(Bytes data, std::size_t size) {
    if (size < kFileHeader + 40 || data[0] != 'B' || data[1] != 'M') return {};
    return {double(int32_t(le32(data + kFileHeader + 24))), 2};  // pixels per metre
}

namespace {

class BMPLines final : public FileRowWriter {
public:
    BMPLines(std::FILE* f, int32_t w, int32_t h, int32_t dpi)
        : FileRowWriter(f, h, ((std::size_t(w) * 24 + 31) / 32) * 4), width_(w) {
        std::vector<uint8_t> header;
        const uint32_t bitsBytes = uint32_t(line.size() * std::size_t(h));
        header.push_back('B'), header.push_back('M');
        putLE32(header, 54 + bitsBytes), putLE32(header, 0), putLE32(header, 54);
        putLE32(header, 40), putLE32(header, uint32_t(w)), putLE32(header, uint32_t(h));
        putLE16(header, 1), putLE16(header, 24), putLE32(header, 0), putLE32(header, bitsBytes);
        const uint32_t perMetre = dpi > 0 ? uint32_t(dpi * 39.3700787) : 0;
        putLE32(header, perMetre), putLE32(header, perMetre), putLE32(header, 0), putLE32(header, 0);
        writeBytes(header);
    }
    bool bottomUp() const override { return true; }
    bool writeRow(const uint8_t* row) override {
        toDIBRow(row, width_, 3, line.data());  // the padding stays zero
        return writeLine();
    }

private:
    int32_t width_;
};

}  // namespace

std::unique_ptr<LineWriter> linesBMP(std::FILE* f, int32_t w, int32_t h, int32_t channels, int32_t dpi) {
    if (channels != 3) {
        std::fclose(f);
        return nullptr;
    }
    return std::make_unique<BMPLines>(f, w, h, dpi);
}

}  // namespace calv::codec
