// One image reader fed arbitrary bytes: it must decode or fail without touching memory it
// does not own. Each *_fuzz.cpp names its reader.
#pragma once
#include <cstddef>
#include <cstdint>

#include "imaging/codecs/codecs.h"

#define CALV_IMAGE_FUZZ_TARGET(call)                                                  \
    extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {         \
        calv::DecodedImage image;                                                      \
        if (call && image.rgba.size() != size_t(image.width) * image.height * 4) __builtin_trap(); \
        return 0;                                                                      \
    }
