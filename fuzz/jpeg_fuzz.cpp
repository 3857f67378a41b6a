// The JPEG reader and its resolution query.
#include "image_fuzz.h"

CALV_IMAGE_FUZZ_TARGET((calv::codec::resolutionJPEG(data, size), calv::codec::decodeJPEG(data, size, image)))
