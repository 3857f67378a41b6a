// TIFF through libtiff: decoding from memory by client callbacks, writing by scanlines.
#include <tiffio.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "imaging/codecs/codecs.h"

namespace calv::codec {
namespace {

struct MemoryFile {
    Bytes data;
    std::size_t size;
    toff_t at = 0;
};

tsize_t readMemory(thandle_t h, tdata_t buffer, tsize_t n) {
    auto* m = static_cast<MemoryFile*>(h);
    if (n <= 0 || m->at >= m->size) return 0;
    const std::size_t count = std::min<std::size_t>(std::size_t(n), m->size - m->at);
    std::memcpy(buffer, m->data + m->at, count);
    m->at += count;
    return tsize_t(count);
}
tsize_t writeNothing(thandle_t, tdata_t, tsize_t) { return 0; }
toff_t seekMemory(thandle_t h, toff_t offset, int whence) {
    auto* m = static_cast<MemoryFile*>(h);
    const toff_t base = whence == SEEK_CUR ? m->at : whence == SEEK_END ? m->size : 0;
    m->at = base + offset;
    return m->at;
}
int closeNothing(thandle_t) { return 0; }
toff_t sizeOfMemory(thandle_t h) { return static_cast<MemoryFile*>(h)->size; }
int mapNothing(thandle_t, tdata_t*, toff_t*) { return 0; }
void unmapNothing(thandle_t, tdata_t, toff_t) {}

// libtiff reports through global handlers; the engine keeps quiet.
void silence() {
    static const bool once = [] {
        TIFFSetErrorHandler(nullptr);
        TIFFSetWarningHandler(nullptr);
        return true;
    }();
    (void)once;
}

TIFF* openMemory(MemoryFile& m) {
    silence();
    return TIFFClientOpen("memory", "rm", &m, readMemory, writeNothing, seekMemory, closeNothing, sizeOfMemory,
                          mapNothing, unmapNothing);
}

}  // namespace

namespace {

// 8-bit RGB and RGBA stored pixel by pixel: read row by row, exactly as stored (the RGBA
// interface would premultiply unassociated alpha).
bool readContiguousRGB(TIFF* tif, uint32_t w, uint32_t h, uint16_t samples, DecodedImage& out) {
    std::vector<uint8_t> row(std::size_t(TIFFScanlineSize(tif)));
    if (row.size() < std::size_t(w) * samples) return false;
    for (uint32_t y = 0; y < h; ++y) {
        if (TIFFReadScanline(tif, row.data(), y, 0) < 0) return false;
        uint8_t* o = &out.rgba[std::size_t(y) * w * 4];
        for (uint32_t x = 0; x < w; ++x, o += 4) {
            const uint8_t* p = &row[std::size_t(x) * samples];
            o[0] = p[0], o[1] = p[1], o[2] = p[2], o[3] = samples == 4 ? p[3] : 255;
        }
    }
    return true;
}

// Everything else through libtiff's RGBA interface: ABGR words, R in the low byte.
bool readThroughRGBA(TIFF* tif, uint32_t w, uint32_t h, DecodedImage& out) {
    if (!TIFFReadRGBAImageOriented(tif, w, h, reinterpret_cast<uint32_t*>(out.rgba.data()), ORIENTATION_TOPLEFT, 0))
        return false;
    for (std::size_t i = 0; i < out.rgba.size(); i += 4) {
        const uint32_t v = uint32_t(out.rgba[i]) | uint32_t(out.rgba[i + 1]) << 8 | uint32_t(out.rgba[i + 2]) << 16 |
                           uint32_t(out.rgba[i + 3]) << 24;
        out.rgba[i] = uint8_t(TIFFGetR(v)), out.rgba[i + 1] = uint8_t(TIFFGetG(v));
        out.rgba[i + 2] = uint8_t(TIFFGetB(v)), out.rgba[i + 3] = uint8_t(TIFFGetA(v));
    }
    return true;
}

}  // namespace

bool decodeTIFF(Bytes data, std::size_t size, DecodedImage& out) {
    MemoryFile m{data, size};
    TIFF* tif = openMemory(m);
    if (!tif) return false;
    uint32_t w = 0, h = 0;
    uint16_t bits = 0, samples = 0, photometric = 0, planar = PLANARCONFIG_CONTIG;
    bool ok = TIFFGetField(tif, TIFFTAG_IMAGEWIDTH, &w) && TIFFGetField(tif, TIFFTAG_IMAGELENGTH, &h) &&
              startImage(out, w, h);
    if (ok) {
        TIFFGetFieldDefaulted(tif, TIFFTAG_BITSPERSAMPLE, &bits);
        TIFFGetFieldDefaulted(tif, TIFFTAG_SAMPLESPERPIXEL, &samples);
        TIFFGetFieldDefaulted(tif, TIFFTAG_PLANARCONFIG, &planar);
        TIFFGetField(tif, TIFFTAG_PHOTOMETRIC, &photometric);
        const bool plainRGB = bits == 8 && (samples == 3 || samples == 4) && photometric == PHOTOMETRIC_RGB &&
                              planar == PLANARCONFIG_CONTIG && !TIFFIsTiled(tif);
        ok = plainRGB ? readContiguousRGB(tif, w, h, samples, out) : readThroughRGBA(tif, w, h, out);
    }
    TIFFClose(tif);
    return ok;
}

FileResolution resolutionTIFF(Bytes data, std::size_t size) {
    MemoryFile m{data, size};
    TIFF* tif = openMemory(m);
    FileResolution r;
    if (!tif) return r;
    float x = 0;
    uint16_t unit = RESUNIT_INCH;
    if (TIFFGetField(tif, TIFFTAG_XRESOLUTION, &x)) {
        TIFFGetFieldDefaulted(tif, TIFFTAG_RESOLUTIONUNIT, &unit);
        r.value = x, r.unit = unit;
    }
    TIFFClose(tif);
    return r;
}

namespace {

class TIFFLines final : public LineWriter {
public:
    TIFFLines(TIFF* tif, int32_t w, int32_t h, int32_t channels, int32_t dpi) : tif_(tif), height_(h) {
        TIFFSetField(tif_, TIFFTAG_IMAGEWIDTH, uint32_t(w));
        TIFFSetField(tif_, TIFFTAG_IMAGELENGTH, uint32_t(h));
        TIFFSetField(tif_, TIFFTAG_BITSPERSAMPLE, 8);
        TIFFSetField(tif_, TIFFTAG_SAMPLESPERPIXEL, channels);
        TIFFSetField(tif_, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_RGB);
        TIFFSetField(tif_, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
        TIFFSetField(tif_, TIFFTAG_ORIENTATION, ORIENTATION_TOPLEFT);
        TIFFSetField(tif_, TIFFTAG_COMPRESSION, COMPRESSION_LZW);
        TIFFSetField(tif_, TIFFTAG_ROWSPERSTRIP, TIFFDefaultStripSize(tif_, 0));
        if (channels == 4) {
            const uint16_t extra = EXTRASAMPLE_UNASSALPHA;
            TIFFSetField(tif_, TIFFTAG_EXTRASAMPLES, 1, &extra);
        }
        if (dpi > 0) {
            TIFFSetField(tif_, TIFFTAG_XRESOLUTION, float(dpi));
            TIFFSetField(tif_, TIFFTAG_YRESOLUTION, float(dpi));
            TIFFSetField(tif_, TIFFTAG_RESOLUTIONUNIT, RESUNIT_INCH);
        }
    }
    ~TIFFLines() override {
        if (tif_) TIFFClose(tif_);
    }
    bool writeRow(const uint8_t* row) override {
        if (failed_ || TIFFWriteScanline(tif_, const_cast<uint8_t*>(row), uint32_t(rows_), 0) < 0) return !(failed_ = true);
        ++rows_;
        return true;
    }
    bool finish() override {
        if (failed_ || rows_ != height_) return false;
        const bool ok = TIFFWriteDirectory(tif_) != 0;
        TIFFClose(tif_);
        tif_ = nullptr;
        return ok;
    }

private:
    TIFF* tif_;
    int32_t height_, rows_ = 0;
    bool failed_ = false;
};

}  // namespace

std::unique_ptr<LineWriter> linesTIFF(const char* path, int32_t w, int32_t h, int32_t channels, int32_t dpi) {
    silence();
    TIFF* tif = TIFFOpen(path, "w");
    if (!tif) return nullptr;
    return std::make_unique<TIFFLines>(tif, w, h, channels, dpi);
}

}  // namespace calv::codec
