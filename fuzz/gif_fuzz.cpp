// The GIF reader.
#include "image_fuzz.h"

CALV_IMAGE_FUZZ_TARGET((calv::codec::decodeGIF(data, size, image)))
