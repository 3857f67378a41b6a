// The TIFF reader and its resolution query.
#include "image_fuzz.h"

CALV_IMAGE_FUZZ_TARGET((calv::codec::resolutionTIFF(data, size), calv::codec::decodeTIFF(data, size, image)))
