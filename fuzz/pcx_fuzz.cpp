// The PCX reader.
#include "image_fuzz.h"

CALV_IMAGE_FUZZ_TARGET((calv::codec::decodePCX(data, size, image)))
