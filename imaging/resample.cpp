#include "imaging/resample.h"

#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>

#include "imaging/opencv_setup.h"

namespace calv {

bool resamplePicture(const uint8_t* src, int32_t w, int32_t h, uint8_t* dst, int32_t tw, int32_t th, int32_t channels) {
    if (!src || !dst || w <= 0 || h <= 0 || tw <= 0 || th <= 0 || channels < 1 || channels > 4) return false;
    openCVSingleThreaded();
    const cv::Mat in = viewOf(const_cast<uint8_t*>(src), w, h, channels);
    cv::Mat out = viewOf(dst, tw, th, channels);
    const bool shrinking = tw < w && th < h;
    cv::resize(in, out, cv::Size(tw, th), 0, 0, shrinking ? cv::INTER_AREA : cv::INTER_LINEAR);
    return out.data == dst;  // OpenCV wrote into our buffer, not a new one
}

bool rotatePicture(uint8_t* pixels, int32_t w, int32_t h, int32_t channels, double degrees) {
    if (!pixels || w <= 0 || h <= 0 || channels < 1 || channels > 4) return false;
    openCVSingleThreaded();
    cv::Mat picture = viewOf(pixels, w, h, channels);
    const cv::Mat turn = cv::getRotationMatrix2D(cv::Point2f(float(w - 1) / 2, float(h - 1) / 2), degrees, 1.0);
    cv::Mat turned;
    cv::warpAffine(picture, turned, turn, picture.size(), cv::INTER_LINEAR, cv::BORDER_CONSTANT, cv::Scalar::all(0));
    turned.copyTo(picture);
    return true;
}

}  // namespace calv
