// Image files for the host: reading into the transfer image or a host buffer, writing host
// buffers and the flattened page, resolutions, thumbnails and web pictures.
#pragma once
#include <cstdint>

#include "engine/engine.h"

namespace calv {

// Reads any supported file into the transfer image; metafiles render at the canvas size
// over the paint colour. False when the file cannot be read.
bool ReadFromFile(Engine& engine, const char* path);
// Copies the file's pixels into dst (3 or 4 bytes a pixel) only when its size is exactly
// width x height.
bool ReadFromFileInto(Engine& engine, uint8_t* dst, int32_t width, int32_t height, const char* path,
                      int32_t channels);
// The file's resolution in dots per inch, snapped to 72, 96, 150, 200, 300, 450 or 600.
int32_t GetDPIFromFile(const char* path);
// Writes a host picture (3 or 4 bytes a pixel) in the format its extension names.
bool WriteToFile(const uint8_t* pixels, int32_t width, int32_t height, const char* path, const char* extension,
                 int32_t dpi, int32_t channels);
// Writes the flattened page one row at a time. Throws std::bad_alloc.
bool SavePageToFile(Engine& engine, const char* path, const char* extension, int32_t dpi, int32_t channels);
// A 24-bit BMP fitting 100 x 100 / a JPEG (quality 75) fitting maxWidth x maxHeight,
// never enlarged.
bool MakeThumbnail(const char* source, const char* destination);
bool MakeWebPic(const char* source, const char* destination, int32_t maxWidth, int32_t maxHeight);

}  // namespace calv
