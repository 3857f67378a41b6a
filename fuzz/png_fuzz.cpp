// The PNG reader and its resolution query.
#include "image_fuzz.h"

CALV_IMAGE_FUZZ_TARGET((calv::codec::resolutionPNG(data, size), calv::codec::decodePNG(data, size, image)))
