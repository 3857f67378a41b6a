// Exports of image files and the transfer image.
#include "api/calvcore.h"
#include "engine/engine.h"
#include "io/image_files.h"
#include "io/transfer_image.h"

using namespace calv;

extern "C" {

int32_t CVX_ReadFromFile(const char* path) {
    Engine& e = globalEngine();
    return guarded(e, "ReadFromFile Excpt", 0, [&] { return ReadFromFile(e, path) ? 1 : 0; });
}
int32_t CVX_ReadFromFileRGB24(uint8_t* dst, int32_t width, int32_t height, const char* path) {
    Engine& e = globalEngine();
    return guarded(e, "ReadFromFile Excpt", 0, [&] { return ReadFromFileInto(e, dst, width, height, path, 3) ? 1 : 0; });
}
int32_t CVX_ReadFromFileRGBA32(uint8_t* dst, int32_t width, int32_t height, const char* path) {
    Engine& e = globalEngine();
    return guarded(e, "ReadFromFile Excpt", 0, [&] { return ReadFromFileInto(e, dst, width, height, path, 4) ? 1 : 0; });
}
int32_t CVX_GetDPIFromFile(const char* path) {
    return guarded(globalEngine(), "GetDPIFromFile Excpt", 72, [&] { return GetDPIFromFile(path); });
}
int32_t CVX_WriteToFileRGB24(const uint8_t* pixels, int32_t width, int32_t height, const char* path,
                             const char* extension, int32_t dpi) {
    return guarded(globalEngine(), "WriteToFileRGB24 Excpt", 0,
                   [&] { return WriteToFile(pixels, width, height, path, extension, dpi, 3) ? 1 : 0; });
}
int32_t CVX_WriteToFileRGBA32(const uint8_t* pixels, int32_t width, int32_t height, const char* path,
                              const char* extension, int32_t dpi) {
    return guarded(globalEngine(), "WriteToFileRGBA32 Excpt", 0,
                   [&] { return WriteToFile(pixels, width, height, path, extension, dpi, 4) ? 1 : 0; });
}
int32_t CVX_SavePageToFileRGB24(const char* path, const char* extension, int32_t dpi) {
    Engine& e = globalEngine();
    return guarded(e, "CVX_SavePageToFileRGB24 Excpt", 0,
                   [&] { return SavePageToFile(e, path, extension, dpi, 3) ? 1 : 0; });
}
int32_t CVX_SavePageToFileRGB32(const char* path, const char* extension, int32_t dpi) {
    Engine& e = globalEngine();
    return guarded(e, "CVX_SavePageToFileRGB32 Excpt", 0,
                   [&] { return SavePageToFile(e, path, extension, dpi, 4) ? 1 : 0; });
}
int32_t CVX_MakeThumbnail(const char* source, const char* destination) {
    return guarded(globalEngine(), "MakeThumbnails Excpt", 0, [&] { return MakeThumbnail(source, destination) ? 1 : 0; });
}
int32_t CVX_MakeWebPic(const char* source, const char* destination, int32_t maxWidth, int32_t maxHeight) {
    return guarded(globalEngine(), "MakeWebPic Excpt", 0,
                   [&] { return MakeWebPic(source, destination, maxWidth, maxHeight) ? 1 : 0; });
}

int32_t CVX_GetNewRGBAWidth(void) { return globalEngine().transfer.width; }
int32_t CVX_GetNewRGBAHeight(void) { return globalEngine().transfer.height; }
void CVX_DeleteNewRGBA(void) { DeleteNewRGBA(globalEngine()); }
int32_t CVX_IsNewRGBA32Transparent(void) { return IsNewRGBATransparent(globalEngine()) ? 1 : 0; }
void CVX_SetInNewRGBA(void) { SetInNewRGBA(globalEngine()); }
void CVX_GetNewRGBA32(uint8_t* dst) { GetNewRGBA32(globalEngine(), dst); }
void CVX_GetNewRGBA24(uint8_t* dst) { GetNewRGBA24(globalEngine(), dst); }
void CVX_GetResizedNewRGBA24(uint8_t* dst, int32_t width, int32_t height) {
    Engine& e = globalEngine();
    guarded(e, "GetResizedNewRGB24 Excpt", [&] { GetResizedNewRGBA24(e, dst, width, height); });
}

}  // extern "C"
