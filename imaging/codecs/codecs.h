// The codecs behind image_file.h, one set of functions per format. Decoders read from
// memory and check every size and offset against the data; writers own their FILE.
#pragma once
#include <cstdio>

#include "imaging/image_file.h"

namespace calv::codec {

using Bytes = const uint8_t*;

bool decodePNG(Bytes data, std::size_t size, DecodedImage& out);
bool decodeJPEG(Bytes data, std::size_t size, DecodedImage& out);
bool decodeTIFF(Bytes data, std::size_t size, DecodedImage& out);
bool decodeGIF(Bytes data, std::size_t size, DecodedImage& out);
bool decodeBMP(Bytes data, std::size_t size, DecodedImage& out);
bool decodeTGA(Bytes data, std::size_t size, DecodedImage& out);
bool decodePCX(Bytes data, std::size_t size, DecodedImage& out);
bool decodePSD(Bytes data, std::size_t size, DecodedImage& out);
bool decodeMetafile(Bytes data, std::size_t size, DecodedImage& out, const MetafileTarget& target);
// A device-independent bitmap: its info header (`infoSize` bytes with the palette) and bits.
bool decodeDIB(Bytes info, std::size_t infoSize, Bytes bits, std::size_t bitsSize, DecodedImage& out);
// One row of a 24-bit DIB: w pixels of `channels` bytes (R, G, B first) as B, G, R.
void toDIBRow(const uint8_t* row, int32_t w, int32_t channels, uint8_t* out);

FileResolution resolutionPNG(Bytes data, std::size_t size);
FileResolution resolutionJPEG(Bytes data, std::size_t size);
FileResolution resolutionTIFF(Bytes data, std::size_t size);
FileResolution resolutionBMP(Bytes data, std::size_t size);
FileResolution resolutionPSD(Bytes data, std::size_t size);

// Whole-picture writers; `pixels` has `channels` bytes a pixel.
bool writeGIF(std::FILE* f, const uint8_t* pixels, int32_t w, int32_t h, int32_t channels);
bool writePCX(std::FILE* f, const uint8_t* pixels, int32_t w, int32_t h, int32_t channels);
bool writePSD(std::FILE* f, const uint8_t* pixels, int32_t w, int32_t h, int32_t channels);
bool writeMetafile(std::FILE* f, const uint8_t* pixels, int32_t w, int32_t h, int32_t channels);

// Row writers (the whole-picture BMP, PNG, JPEG, TGA and TIFF writers are these fed row by row).
std::unique_ptr<LineWriter> linesBMP(std::FILE* f, int32_t w, int32_t h, int32_t channels, int32_t dpi);
std::unique_ptr<LineWriter> linesPNG(std::FILE* f, int32_t w, int32_t h, int32_t channels, int32_t dpi);
std::unique_ptr<LineWriter> linesJPEG(std::FILE* f, int32_t w, int32_t h, int32_t channels, int32_t dpi,
                                      int32_t quality);
std::unique_ptr<LineWriter> linesTGA(std::FILE* f, int32_t w, int32_t h, int32_t channels);
std::unique_ptr<LineWriter> linesTIFF(const char* path, int32_t w, int32_t h, int32_t channels, int32_t dpi);

// A row writer into a plain file (BMP, TGA): the writer turns each row into the file's
// byte order in `line`, and the base writes it and closes the file.
class FileRowWriter : public LineWriter {
public:
    ~FileRowWriter() override {
        if (file_) std::fclose(file_);
    }
    bool finish() override {
        const bool ok = !failed_ && rows_ == height_ && std::fclose(file_) == 0;
        file_ = nullptr;
        return ok;
    }

protected:
    FileRowWriter(std::FILE* f, int32_t height, std::size_t lineBytes) : line(lineBytes, 0), file_(f), height_(height) {}
    bool writeBytes(const std::vector<uint8_t>& bytes) {
        failed_ = failed_ || std::fwrite(bytes.data(), 1, bytes.size(), file_) != bytes.size();
        return !failed_;
    }
    bool writeLine() {
        ++rows_;
        return writeBytes(line);
    }
    std::vector<uint8_t> line;
    bool failed_ = false;

private:
    std::FILE* file_;
    int32_t height_, rows_ = 0;
};

// Little- and big-endian reads that the caller has bounds-checked.
inline uint32_t le16(Bytes p) { return uint32_t(p[0]) | uint32_t(p[1]) << 8; }
inline uint32_t le32(Bytes p) { return le16(p) | le16(p + 2) << 16; }
inline uint32_t be16(Bytes p) { return uint32_t(p[0]) << 8 | p[1]; }
inline uint32_t be32(Bytes p) { return be16(p) << 16 | be16(p + 2); }

// Appends little- and big-endian values to a byte vector.
void putLE16(std::vector<uint8_t>& v, uint32_t x);
void putLE32(std::vector<uint8_t>& v, uint32_t x);
void putBE16(std::vector<uint8_t>& v, uint32_t x);
void putBE32(std::vector<uint8_t>& v, uint32_t x);

// Makes `out` a width x height picture, refusing sizes over the limits.
bool startImage(DecodedImage& out, int64_t width, int64_t height);

}  // namespace calv::codec
