// PNG through libpng: the simplified reader from memory, the classic writer row by row.
#include <png.h>

#include <csetjmp>
#include <cstring>

#include "imaging/codecs/codecs.h"

namespace calv::codec {

bool decodePNG(Bytes data, std::size_t size, DecodedImage& out) {
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, data, size)) return false;
    image.format = PNG_FORMAT_RGBA;
    if (!startImage(out, image.width, image.height)) {
        png_image_free(&image);
        return false;
    }
    if (!png_image_finish_read(&image, nullptr, out.rgba.data(), 0, nullptr)) {
        png_image_free(&image);
        return false;
    }
    return true;
}

FileResolution resolutionPNG(Bytes data, std::size_t size) {
    // Walk the chunks for pHYs: 4 bytes per unit x, 4 y, 1 unit (1: metre).
    FileResolution r;
    std::size_t at = 8;
    while (at + 12 <= size) {
        const uint32_t length = be32(data + at);
        if (length > size - at - 12) break;
        if (std::memcmp(data + at + 4, "pHYs", 4) == 0 && length >= 9) {
            r.value = be32(data + at + 8);
            r.unit = data[at + 16];
            return r;
        }
        if (std::memcmp(data + at + 4, "IDAT", 4) == 0) break;
        at += 12 + std::size_t(length);
    }
    return r;
}

namespace {

class PNGLines final : public LineWriter {
public:
    PNGLines(std::FILE* f, int32_t w, int32_t h, int32_t channels, int32_t dpi) : file_(f), height_(h) {
        png_ = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
        info_ = png_ ? png_create_info_struct(png_) : nullptr;
        if (!info_ || setjmp(png_jmpbuf(png_))) {
            failed_ = true;
            return;
        }
        png_init_io(png_, file_);
        png_set_IHDR(png_, info_, png_uint_32(w), png_uint_32(h), 8,
                     channels == 4 ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                     PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
        if (dpi > 0) {
            const png_uint_32 perMetre = png_uint_32(dpi * 39.3700787);
            png_set_pHYs(png_, info_, perMetre, perMetre, PNG_RESOLUTION_METER);
        }
        png_write_info(png_, info_);
    }
    ~PNGLines() override {
        if (png_) png_destroy_write_struct(&png_, info_ ? &info_ : nullptr);
        if (file_) std::fclose(file_);
    }
    bool writeRow(const uint8_t* row) override {
        if (failed_ || setjmp(png_jmpbuf(png_))) return !(failed_ = true);
        png_write_row(png_, row);
        ++rows_;
        return true;
    }
    bool finish() override {
        if (failed_ || rows_ != height_ || setjmp(png_jmpbuf(png_))) return false;
        png_write_end(png_, info_);
        const bool closed = std::fclose(file_) == 0;
        file_ = nullptr;
        return closed;
    }

private:
    std::FILE* file_;
    png_structp png_ = nullptr;
    png_infop info_ = nullptr;
    int32_t height_, rows_ = 0;
    bool failed_ = false;
};

}  // namespace

std::unique_ptr<LineWriter> linesPNG(std::FILE* f, int32_t w, int32_t h, int32_t channels, int32_t dpi) {
    return std::make_unique<PNGLines>(f, w, h, channels, dpi);
}

}  // namespace calv::codec
