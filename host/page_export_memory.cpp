// Exports the page of a 10000 x 10000 canvas as PNG and as TIFF and reports how much memory
// the export needed above the canvas itself (the growth of the peak resident size). Exits
// with 1 when that is 64 MB or more: the page must stream a row at a time.
#include <sys/resource.h>

#include <cstdio>
#include <string>

#include "calvcore.h"

namespace {

long peakKB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string dir = argc > 1 ? argv[1] : "/tmp";
    const int side = 10000;
    CVX_CreateImage(nullptr, side, side, 64, 0);
    if (!CVX_CreateLayer(1, side, side) || !CVX_CreateLayer(2, side, side)) return 2;
    CVX_SetLayerOptions(1, 1, 0, 100, "Normal");
    CVX_SetLayerOptions(2, 1, 0, 100, "Normal");
    CVX_SetLayer(2);
    CVX_ClearMasked(200, 40, 90, 128);  // a half-transparent layer over the background
    const long canvasKB = peakKB();
    const std::string png = dir + "/calv-page-memory.png", tif = dir + "/calv-page-memory.tif";
    const bool written = CVX_SavePageToFileRGB24(png.c_str(), ".png", 300) && CVX_SavePageToFileRGB32(tif.c_str(), ".tif", 300);
    const long exportKB = peakKB() - canvasKB;
    std::remove(png.c_str());
    std::remove(tif.c_str());
    CVX_DeleteImage();
    std::printf("canvas peak %ld MB; the page export added %ld KB (%.1f MB)\n", canvasKB / 1024, exportKB,
                double(exportKB) / 1024.0);
    return written && exportKB < 64 * 1024 ? 0 : 1;
}
