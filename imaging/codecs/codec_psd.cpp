// PSD: 8-bit RGB and grey documents (the merged picture, raw or PackBits) read; RGB(A) written raw.
#include <algorithm>
#include <cstring>

#include "imaging/codecs/codecs.h"

namespace calv::codec {
namespace {

struct PSDLayout {
    uint32_t channels = 0, height = 0, width = 0, mode = 0;
    std::size_t resourcesAt = 0, resourcesSize = 0, imageAt = 0;
};

bool parse(Bytes data, std::size_t size, PSDLayout& l) {
    if (size < 26 || std::memcmp(data, "8BPS", 4) != 0 || be16(data + 4) != 1) return false;
    l.channels = be16(data + 12), l.height = be32(data + 14), l.width = be32(data + 18), l.mode = be16(data + 24);
    if (be16(data + 22) != 8 || l.channels < 1 || l.channels > 56) return false;
    std::size_t at = 26;
    auto section = [&](std::size_t& start, std::size_t& length) {
        if (size - at < 4) return false;
        length = be32(data + at);
        start = at + 4;
        if (length > size - start) return false;
        at = start + length;
        return true;
    };
    std::size_t ignored = 0, ignoredLength = 0;
    if (!section(ignored, ignoredLength) || !section(l.resourcesAt, l.resourcesSize) || !section(ignored, ignoredLength))
        return false;
    l.imageAt = at;
    return true;
}

}  // namespace

bool decodePSD(Bytes data, std::size_t size, DecodedImage& out) {
    PSDLayout l;
    if (!parse(data, size, l) || (l.mode != 3 && l.mode != 1) || (l.mode == 3 && l.channels < 3)) return false;
    if (size - l.imageAt < 2 || !startImage(out, l.width, l.height)) return false;
    const uint32_t compression = be16(data + l.imageAt);
    const std::size_t planeBytes = std::size_t(l.width) * l.height;
    const uint32_t used = std::min<uint32_t>(l.channels, l.mode == 3 ? 4 : 2);
    std::vector<uint8_t> planes(planeBytes * used, 255);
    std::size_t at = l.imageAt + 2;
    if (compression == 0) {
        if (planeBytes * used > size - at) return false;
        std::memcpy(planes.data(), data + at, planeBytes * used);
    } else if (compression == 1) {
        // A table of compressed row lengths for every row of every channel, then the rows.
        const std::size_t rows = std::size_t(l.height) * l.channels;
        if (rows * 2 > size - at) return false;
        std::size_t next = at + rows * 2;
        for (std::size_t r = 0; r < std::size_t(l.height) * used; ++r) {
            const std::size_t length = be16(data + at + r * 2);
            if (length > size - next) return false;
            Bytes p = data + next, end = p + length;
            uint8_t* o = &planes[r * l.width];
            std::size_t filled = 0;
            while (p < end && filled < l.width) {
                const int8_t n = int8_t(*p++);
                if (n >= 0) {
                    const std::size_t count = std::min<std::size_t>(std::size_t(n) + 1, l.width - filled);
                    if (count > std::size_t(end - p)) return false;
                    std::memcpy(o + filled, p, count);
                    p += count, filled += count;
                } else if (n != -128) {
                    if (p >= end) return false;
                    const std::size_t count = std::min<std::size_t>(std::size_t(1 - n), l.width - filled);
                    std::memset(o + filled, *p++, count);
                    filled += count;
                }
            }
            next += length;
        }
    } else {
        return false;
    }
    for (std::size_t i = 0; i < planeBytes; ++i) {
        uint8_t* o = &out.rgba[i * 4];
        if (l.mode == 3) {
            o[0] = planes[i], o[1] = planes[planeBytes + i], o[2] = planes[2 * planeBytes + i];
            o[3] = used == 4 ? planes[3 * planeBytes + i] : 255;
        } else {
            o[0] = o[1] = o[2] = planes[i], o[3] = used == 2 ? planes[planeBytes + i] : 255;
        }
    }
    return true;
}

FileResolution resolutionPSD(Bytes data, std::size_t size) {
    PSDLayout l;
    if (!parse(data, size, l)) return {};
    std::size_t at = l.resourcesAt;
    const std::size_t end = l.resourcesAt + l.resourcesSize;
    while (end - at >= 12 && std::memcmp(data + at, "8BIM", 4) == 0) {
        const uint32_t id = be16(data + at + 4);
        std::size_t nameLength = data[at + 6] + 1u;
        nameLength += nameLength & 1;
        if (end - at < 6 + nameLength + 4) break;
        const std::size_t lengthAt = at + 6 + nameLength, length = be32(data + lengthAt);
        if (length > end - lengthAt - 4) break;
        if (id == 0x03ED && length >= 8)  // resolution info: fixed 16.16 per unit, unit 1 inch, 2 cm
            return {be32(data + lengthAt + 4) / 65536.0, be16(data + lengthAt + 8) == 2 ? 3 : 2};
        at = lengthAt + 4 + length + (length & 1);
    }
    return {};
}

bool writePSD(std::FILE* f, const uint8_t* pixels, int32_t w, int32_t h, int32_t channels) {
    std::vector<uint8_t> out = {'8', 'B', 'P', 'S'};
    putBE16(out, 1);
    out.insert(out.end(), 6, 0);
    putBE16(out, uint32_t(channels)), putBE32(out, uint32_t(h)), putBE32(out, uint32_t(w));
    putBE16(out, 8), putBE16(out, 3);  // 8 bits, RGB
    putBE32(out, 0), putBE32(out, 0), putBE32(out, 0);  // no colour data, resources or layers
    putBE16(out, 0);  // raw
    const std::size_t count = std::size_t(w) * std::size_t(h);
    bool ok = w > 0 && h > 0 && std::fwrite(out.data(), 1, out.size(), f) == out.size();
    std::vector<uint8_t> plane(count);
    for (int32_t c = 0; ok && c < channels; ++c) {
        for (std::size_t i = 0; i < count; ++i) plane[i] = pixels[i * std::size_t(channels) + std::size_t(c)];
        ok = std::fwrite(plane.data(), 1, count, f) == count;
    }
    return std::fclose(f) == 0 && ok;
}

}  // namespace calv::codec
