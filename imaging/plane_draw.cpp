#include "imaging/plane_draw.h"

#include <algorithm>
#include <cmath>
#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>

#include "imaging/opencv_setup.h"

namespace calv {
namespace {

cv::Mat view8(uint8_t* plane, int32_t width, int32_t height) { return viewOf(plane, width, height, 1); }

// Box widths whose three passes approximate a Gaussian of this sigma.
void boxesForGauss(double sigma, int32_t sizes[3]) {
    const double ideal = std::sqrt(12 * sigma * sigma / 3 + 1);
    int32_t lower = int32_t(std::floor(ideal));
    if (lower % 2 == 0) --lower;
    const int32_t upper = lower + 2;
    const double m = std::round((12 * sigma * sigma - 3.0 * lower * lower - 12.0 * lower - 9) / (-4.0 * lower - 4));
    for (int k = 0; k < 3; ++k) sizes[k] = k < m ? lower : upper;
}

}  // namespace

void fillRect8(uint8_t* plane, int32_t width, int32_t height, int32_t left, int32_t top, int32_t right,
               int32_t bottom, uint8_t value) {
    const int32_t x0 = std::max(left, 0), y0 = std::max(top, 0);
    const int32_t x1 = std::min(right, width), y1 = std::min(bottom, height);
    if (!plane || x1 <= x0 || y1 <= y0) return;
    view8(plane, width, height)(cv::Rect(x0, y0, x1 - x0, y1 - y0)).setTo(value);
}

void fillEllipse8(uint8_t* plane, int32_t width, int32_t height, int32_t cx, int32_t cy, int32_t rx, int32_t ry,
                  uint8_t value) {
    if (!plane || width <= 0 || height <= 0 || rx < 0 || ry < 0) return;
    openCVSingleThreaded();
    cv::Mat m = view8(plane, width, height);
    cv::ellipse(m, cv::Point(cx, cy), cv::Size(rx, ry), 0, 0, 360, cv::Scalar(value), cv::FILLED, cv::LINE_8);
}

void gaussianBlur8(const uint8_t* src, uint8_t* dst, int32_t width, int32_t height, double radius) {
    if (!src || !dst || width <= 0 || height <= 0) return;
    openCVSingleThreaded();
    const cv::Mat in = view8(const_cast<uint8_t*>(src), width, height);
    cv::Mat out = view8(dst, width, height);
    const double sigma = std::max(radius / 3, 0.01);
    // A true Gaussian while its kernel is small; three box passes (constant cost per
    // pixel) once the blur reaches far, as a vignette's does on a large canvas.
    if (sigma <= 8) {
        cv::GaussianBlur(in, out, cv::Size(0, 0), sigma, sigma, cv::BORDER_REPLICATE);
        return;
    }
    int32_t sizes[3];
    boxesForGauss(sigma, sizes);
    cv::blur(in, out, cv::Size(sizes[0], sizes[0]), cv::Point(-1, -1), cv::BORDER_REPLICATE);
    cv::blur(out, out, cv::Size(sizes[1], sizes[1]), cv::Point(-1, -1), cv::BORDER_REPLICATE);
    cv::blur(out, out, cv::Size(sizes[2], sizes[2]), cv::Point(-1, -1), cv::BORDER_REPLICATE);
}

}  // namespace calv
