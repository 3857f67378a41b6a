// How the imaging services use OpenCV: on the host's thread alone (the engine starts no
// threads of its own), and on the engine's buffers without copying them.
#pragma once
#include <cstdint>
#include <opencv2/core.hpp>

namespace calv {

inline void openCVSingleThreaded() {
    static const bool once = (cv::setNumThreads(1), true);
    (void)once;
}

// A w x h picture of `channels` bytes a pixel, rows packed, as an OpenCV matrix.
inline cv::Mat viewOf(uint8_t* pixels, int32_t w, int32_t h, int32_t channels) {
    return cv::Mat(h, w, CV_8UC(channels), pixels);
}

}  // namespace calv
