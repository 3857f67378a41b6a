// The TGA reader.
#include "image_fuzz.h"

CALV_IMAGE_FUZZ_TARGET((calv::codec::decodeTGA(data, size, image)))
