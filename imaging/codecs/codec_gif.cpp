// GIF through giflib: the first frame decoded from memory; writing an 8-bit palette made
// by median cut.
#include <gif_lib.h>

#include <algorithm>
#include <cstring>

#include "imaging/codecs/codecs.h"
#include "imaging/quantize.h"

namespace calv::codec {
namespace {

struct MemoryReader {
    Bytes data;
    std::size_t size, at = 0;
};

int readMemory(GifFileType* gif, GifByteType* buffer, int n) {
    auto* m = static_cast<MemoryReader*>(gif->UserData);
    const std::size_t count = n <= 0 || m->at >= m->size ? 0 : std::min<std::size_t>(std::size_t(n), m->size - m->at);
    std::memcpy(buffer, m->data + m->at, count);
    m->at += count;
    return int(count);
}

int writeFile(GifFileType* gif, const GifByteType* buffer, int n) {
    return int(std::fwrite(buffer, 1, std::size_t(n), static_cast<std::FILE*>(gif->UserData)));
}

}  // namespace

bool decodeGIF(Bytes data, std::size_t size, DecodedImage& out) {
    MemoryReader m{data, size};
    int error = 0;
    GifFileType* gif = DGifOpen(&m, readMemory, &error);
    if (!gif) return false;
    // Refuse giant screens before giflib allocates for the frames.
    bool ok = acceptableSize(gif->SWidth, gif->SHeight) && DGifSlurp(gif) == GIF_OK && gif->ImageCount > 0;
    if (ok) {
        const SavedImage& frame = gif->SavedImages[0];
        const GifImageDesc& d = frame.ImageDesc;
        const ColorMapObject* map = d.ColorMap ? d.ColorMap : gif->SColorMap;
        GraphicsControlBlock gcb{};
        gcb.TransparentColor = NO_TRANSPARENT_COLOR;
        DGifSavedExtensionToGCB(gif, 0, &gcb);
        ok = map && frame.RasterBits && startImage(out, gif->SWidth, gif->SHeight);
        // The frame lies within the screen; the rest of the screen stays transparent.
        const int32_t left = std::max(d.Left, 0), top = std::max(d.Top, 0);
        const int32_t right = std::min(d.Left + d.Width, gif->SWidth), bottom = std::min(d.Top + d.Height, gif->SHeight);
        if (ok) std::fill(out.rgba.begin(), out.rgba.end(), uint8_t(0));
        for (int32_t y = top; ok && y < bottom; ++y)
            for (int32_t x = left; x < right; ++x) {
                const int index = frame.RasterBits[std::size_t(y - d.Top) * std::size_t(d.Width) + std::size_t(x - d.Left)];
                if (index == gcb.TransparentColor || index >= map->ColorCount) continue;
                uint8_t* p = &out.rgba[(std::size_t(y) * std::size_t(out.width) + std::size_t(x)) * 4];
                const GifColorType& c = map->Colors[index];
                p[0] = c.Red, p[1] = c.Green, p[2] = c.Blue, p[3] = 255;
            }
    }
    DGifCloseFile(gif, &error);
    return ok;
}

bool writeGIF(std::FILE* f, const uint8_t* pixels, int32_t w, int32_t h, int32_t channels) {
    std::vector<uint8_t> indices;
    const Palette palette = quantizeMedianCut(pixels, int64_t(w) * h, channels, 256, indices);
    int error = 0;
    GifFileType* gif = EGifOpen(f, writeFile, &error);
    if (!gif) {
        std::fclose(f);
        return false;
    }
    ColorMapObject* map = GifMakeMapObject(256, nullptr);
    bool ok = map != nullptr;
    if (ok) {
        for (std::size_t i = 0; i < 256; ++i) {
            const auto c = i < palette.colours.size() ? palette.colours[i] : std::array<uint8_t, 3>{0, 0, 0};
            map->Colors[i] = {c[0], c[1], c[2]};
        }
        EGifSetGifVersion(gif, false);
        ok = EGifPutScreenDesc(gif, w, h, 8, 0, map) == GIF_OK && EGifPutImageDesc(gif, 0, 0, w, h, false, nullptr) == GIF_OK;
        for (int32_t y = 0; ok && y < h; ++y)
            ok = EGifPutLine(gif, indices.data() + std::size_t(y) * std::size_t(w), w) == GIF_OK;
        GifFreeMapObject(map);
    }
    ok = EGifCloseFile(gif, &error) == GIF_OK && ok;
    std::fclose(f);
    return ok;
}

}  // namespace calv::codec
