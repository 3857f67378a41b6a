// The BMP reader and its resolution query.
#include "image_fuzz.h"

CALV_IMAGE_FUZZ_TARGET((calv::codec::resolutionBMP(data, size), calv::codec::decodeBMP(data, size, image)))
