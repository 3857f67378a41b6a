// JPEG through libjpeg-turbo. Its errors jump back to the call that started the work.
#include <algorithm>
#include <csetjmp>
#include <cstddef>
#include <cstdio>
#include <cstring>

#include <jpeglib.h>

#include "imaging/codecs/codecs.h"

namespace calv::codec {
namespace {

struct ErrorJump {
    jpeg_error_mgr manager;
    std::jmp_buf jump;
};

void jumpOnError(j_common_ptr info) { std::longjmp(reinterpret_cast<ErrorJump*>(info->err)->jump, 1); }
void quiet(j_common_ptr, int) {}
void quietOutput(j_common_ptr) {}

void installErrors(ErrorJump& e) {
    jpeg_std_error(&e.manager);
    e.manager.error_exit = jumpOnError;
    e.manager.emit_message = quiet;
    e.manager.output_message = quietOutput;
}

// Reads the header; false (with the decompressor destroyed) on damage.
bool readHeader(Bytes data, std::size_t size, jpeg_decompress_struct& info, ErrorJump& errors) {
    info.err = &errors.manager;
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, data, static_cast<unsigned long>(size));
    if (jpeg_read_header(&info, TRUE) != JPEG_HEADER_OK) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    return true;
}

}  // namespace

bool decodeJPEG(Bytes data, std::size_t size, DecodedImage& out) {
    jpeg_decompress_struct info;
    ErrorJump errors;
    installErrors(errors);
    if (setjmp(errors.jump)) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    if (!readHeader(data, size, info, errors)) return false;
    info.out_color_space = JCS_EXT_RGBA;
    if (!startImage(out, info.image_width, info.image_height)) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    jpeg_start_decompress(&info);
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = out.rgba.data() + std::size_t(info.output_scanline) * std::size_t(out.width) * 4;
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return true;
}

FileResolution resolutionJPEG(Bytes data, std::size_t size) {
    jpeg_decompress_struct info;
    ErrorJump errors;
    installErrors(errors);
    FileResolution r;
    if (setjmp(errors.jump)) {
        jpeg_destroy_decompress(&info);
        return {};
    }
    if (!readHeader(data, size, info, errors)) return r;
    if (info.saw_JFIF_marker) r.value = info.X_density, r.unit = info.density_unit;
    jpeg_destroy_decompress(&info);
    return r;
}

namespace {

class JPEGLines final : public LineWriter {
public:
    JPEGLines(std::FILE* f, int32_t w, int32_t h, int32_t dpi, int32_t quality) : file_(f), height_(h) {
        installErrors(errors_);
        info_.err = &errors_.manager;
        jpeg_create_compress(&info_);
        if (setjmp(errors_.jump)) {
            failed_ = true;
            return;
        }
        jpeg_stdio_dest(&info_, file_);
        info_.image_width = JDIMENSION(w);
        info_.image_height = JDIMENSION(h);
        info_.input_components = 3;
        info_.in_color_space = JCS_RGB;
        jpeg_set_defaults(&info_);
        jpeg_set_quality(&info_, quality, TRUE);
        info_.dct_method = JDCT_FLOAT;
        info_.smoothing_factor = 0;
        for (int c = 0; c < info_.num_components; ++c) info_.comp_info[c].h_samp_factor = info_.comp_info[c].v_samp_factor = 1;
        info_.write_JFIF_header = TRUE;
        info_.density_unit = dpi > 0 ? 1 : 0;  // per inch, or an aspect ratio only
        info_.X_density = info_.Y_density = UINT16(std::clamp(dpi, 1, 65535));
        jpeg_start_compress(&info_, TRUE);
        started_ = true;
    }
    ~JPEGLines() override {
        jpeg_destroy_compress(&info_);
        if (file_) std::fclose(file_);
    }
    bool writeRow(const uint8_t* row) override {
        if (failed_ || !started_ || setjmp(errors_.jump)) return !(failed_ = true);
        JSAMPROW r = const_cast<JSAMPROW>(row);
        jpeg_write_scanlines(&info_, &r, 1);
        ++rows_;
        return true;
    }
    bool finish() override {
        if (failed_ || rows_ != height_ || setjmp(errors_.jump)) return false;
        jpeg_finish_compress(&info_);
        const bool closed = std::fclose(file_) == 0;
        file_ = nullptr;
        return closed;
    }

private:
    std::FILE* file_;
    jpeg_compress_struct info_{};
    ErrorJump errors_{};
    int32_t height_, rows_ = 0;
    bool failed_ = false, started_ = false;
};

}  // namespace

std::unique_ptr<LineWriter> linesJPEG(std::FILE* f, int32_t w, int32_t h, int32_t channels, int32_t dpi,
                                      int32_t quality) {
    if (channels != 3) {
        std::fclose(f);
        return nullptr;
    }
    return std::make_unique<JPEGLines>(f, w, h, dpi, quality);
}

}  // namespace calv::codec
