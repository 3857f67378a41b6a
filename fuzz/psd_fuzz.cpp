// The PSD reader and its resolution query.
#include "image_fuzz.h"

CALV_IMAGE_FUZZ_TARGET((calv::codec::resolutionPSD(data, size), calv::codec::decodePSD(data, size, image)))
